// Pixel routines: rectangles of packed pixels from a buffer into a bitmap's rows.
#include "vex_graphics.h"

#include "exceptions.h"

#include <algorithm>
#include <cstring>

namespace vex {

namespace {

int KnownBytesPerPixel(PixelFormat format) {
  switch (format) {
  case PixelFormat::Bits8:
    return 1;
  case PixelFormat::Bits15:
  case PixelFormat::Bits16:
    return 2;
  case PixelFormat::Bits24:
    return 3;
  case PixelFormat::Bits32:
    return 4;
  default:
    return 0;
  }
}

} // namespace

int BytesPerPixel(PixelFormat format) {
  const int bytesPerPixel = KnownBytesPerPixel(format);
  VEX_ASSERT(bytesPerPixel != 0);
  return bytesPerPixel;
}

PixelFormat EffectivePixelFormat(const TBitmap& bitmap) {
  const PixelFormat held = bitmap.HeldPixelFormat();
  if (held != PixelFormat::Custom || bitmap.IsDeviceDependent())
    return held;
  const std::optional<TBitmapInfoHeader> description = bitmap.Description();
  return description ? PixelFormatOf(*description, TMaskLayouts::ForCopying) : PixelFormat::Custom;
}

// Every row is asked of the bitmap, which knows whether its store runs bottom-up or top-down.
void CopyPixelRectFromBuffer(const std::uint8_t* buffer, TBitmap& bitmap, TPixelRect rect) {
  const std::int64_t width = bitmap.Width(), height = bitmap.Height();
  if (width == 0 || height == 0 || rect.left >= width || rect.top >= height || rect.right <= 0 ||
      rect.bottom <= 0)
    return;
  const int bytesPerPixel = BytesPerPixel(EffectivePixelFormat(bitmap));
  // 64-bit arithmetic: the rectangle is the caller's and may be as wide as 32 bits allow.
  const std::int64_t pitch = (std::int64_t{rect.right} - rect.left) * bytesPerPixel;
  std::int64_t left = rect.left, top = rect.top;
  std::int64_t position = 0; // where the first copied row's part lies in the buffer
  if (top < 0) {
    position += -top * pitch;
    top = 0;
  }
  if (left < 0) {
    position += -left * bytesPerPixel;
    left = 0;
  }
  const std::int64_t right = std::min<std::int64_t>(rect.right, width);
  const std::int64_t bottom = std::min<std::int64_t>(rect.bottom, height);
  if (right <= left || bottom <= top)
    return;
  const auto rowBytes = static_cast<std::size_t>((right - left) * bytesPerPixel);
  for (std::int64_t y = top; y < bottom; ++y, position += pitch)
    std::memcpy(bitmap.RowAddress(static_cast<std::int32_t>(y)) + left * bytesPerPixel,
                buffer + position, rowBytes);
}

void CopyPixelsIntoBitmap(const std::uint8_t* buffer, TBitmap& bitmap) {
  CopyPixelRectFromBuffer(buffer, bitmap, {0, 0, bitmap.Width(), bitmap.Height()});
}

} // namespace vex
