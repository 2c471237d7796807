// Pixel routines: moving rectangles of packed pixels from a plain buffer into a bitmap, and
// the rule that says how many bytes one pixel of a bitmap takes.
#pragma once

#include "bitmap.h"

#include <cstdint>

namespace vex {

// Left, Top, Right, Bottom in pixels; Right and Bottom exclusive; row 0 is the top row.
struct TPixelRect {
  std::int32_t left, top, right, bottom;
};

// The bitmap's pixel format for copying: the held format, or for a Custom one, what the current
// image's description says (16-bit 5-5-5 or 5-6-5 masks, 32-bit with the usual masks).
PixelFormat EffectivePixelFormat(const TBitmap& bitmap);

// The bytes one pixel of `format` takes in a copy: 1, 2, 3 or 4 for 8, 15 and 16, 24 and 32
// bits. Raises EAssertionFailed for any other format: no copy moves its pixels.
int BytesPerPixel(PixelFormat format);

// Copies `rect`'s pixels from `buffer` into `bitmap`, clipped to the bitmap. The buffer holds
// the whole rectangle from its top-left pixel, rows of (right - left) pixels, top row first;
// only the part inside the bitmap is copied. A rectangle wholly outside the bitmap copies
// nothing; otherwise the bitmap's format must have a BytesPerPixel.
void CopyPixelRectFromBuffer(const std::uint8_t* buffer, TBitmap& bitmap, TPixelRect rect);

// Fills the bitmap's whole image from `buffer`, which holds its rows top down, each exactly
// width x bytes-per-pixel bytes long.
void CopyPixelsIntoBitmap(const std::uint8_t* buffer, TBitmap& bitmap);

} // namespace vex
