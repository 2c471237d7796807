// Turns a raw 8-bit image member into a bitmap file in the palette template's format.
#pragma once

#include "bitmap.h"
#include "files.h"

#include <memory>
#include <string>

namespace vex {

// The template's file name.
extern const char* const PaletteTemplateName;

// Where an executable in `appFolder` reads its template from: beside itself, or where an
// installation keeps the tool's files (see LocateShippedFile). Raises nothing.
std::string PaletteTemplatePath(const std::string& appFolder);

// The one bitmap all conversions of a run share: absent until the first image member, then
// loaded from the template once and kept, with everything it took from the template.
std::unique_ptr<TBitmap>& ConversionBitmap();

// Writes the image held in `member` (u16 width at byte 2, u16 height at byte 4, one palette
// index per pixel from byte 6, rows top down) as a bitmap file at `outputPath`. The first call
// reads the template at PaletteTemplatePath(AppPath()). Raises, before the output file is created:
// what reading the template raises; EReadError for a member shorter than its pixels;
// EInvalidGraphic "Palette template is not an 8-bit bitmap" for a 15- to 32-bit template;
// EAssertionFailed for a template whose pixels cannot be copied (1- or 4-bit, compressed,
// empty). Then what writing the file raises.
void ConvertRawImage(TBytesView member, const std::string& outputPath);

} // namespace vex
