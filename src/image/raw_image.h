// Turns a raw 8-bit image member into a bitmap file in the palette template's format.
#pragma once

#include "vex_sys_utils.h"

#include <string>

namespace vex {

// Writes the image held in `member` (u16 width at byte 2, u16 height at byte 4, one palette
// index per pixel from byte 6, rows top down) as a bitmap file at `outputPath`.
void ConvertRawImage(const TByteDynArray& member, const std::string& outputPath);

} // namespace vex
