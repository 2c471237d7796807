// Pixel formats of headers, and the failure of files that are no valid bitmap.
#include "bmp_format.h"

#include "exceptions.h"

namespace vex {

namespace {

// The 16-bit green masks of 5-6-5 and 5-5-5, and the 32-bit masks of plain 8-bit blue, green,
// red and an unused byte.
constexpr std::uint32_t Green565 = 0x7E0, Green555 = 0x3E0;
constexpr std::uint32_t Red888 = 0xFF0000, Green888 = 0xFF00, Blue888 = 0xFF;

} // namespace

bool operator==(const TBitmapInfoHeader& a, const TBitmapInfoHeader& b) {
  return a.headerSize == b.headerSize && a.width == b.width && a.height == b.height &&
         a.planes == b.planes && a.bitCount == b.bitCount && a.compression == b.compression &&
         a.imageSize == b.imageSize && a.xResolution == b.xResolution &&
         a.yResolution == b.yResolution && a.coloursUsed == b.coloursUsed &&
         a.coloursImportant == b.coloursImportant && a.redMask == b.redMask &&
         a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

PixelFormat PixelFormatOf(const TBitmapInfoHeader& header, TMaskLayouts masks) {
  const bool none = header.compression == bmp::CompressionNone;
  const bool bitFields = header.compression == bmp::CompressionBitFields;
  const bool forCopying = masks == TMaskLayouts::ForCopying;
  switch (header.bitCount) {
  case 1:
    return PixelFormat::Bits1;
  case 4:
    return PixelFormat::Bits4;
  case 8:
    return PixelFormat::Bits8;
  case 16:
    if (none || (forCopying && bitFields && header.greenMask == Green555))
      return PixelFormat::Bits15;
    return bitFields && header.greenMask == Green565 ? PixelFormat::Bits16 : PixelFormat::Custom;
  case 24:
    return PixelFormat::Bits24;
  case 32:
    if (none || (forCopying && bitFields && header.redMask == Red888 &&
                 header.greenMask == Green888 && header.blueMask == Blue888))
      return PixelFormat::Bits32;
    return PixelFormat::Custom;
  default:
    return PixelFormat::Custom;
  }
}

void RaiseInvalidGraphic() {
  throw EInvalidGraphic("Bitmap image is not valid");
}

} // namespace vex
