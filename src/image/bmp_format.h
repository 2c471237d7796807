// The BMP file format as the tool knows it: where each header field lies, the header and
// colour values an image is described by, and which pixel format a header stands for.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vex {

namespace bmp {

// File header: 14 bytes at the start of every file.
constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t FileTypeOffset = 0; // "BM"
constexpr std::uint8_t FileType0 = 0x42;  // 'B'
constexpr std::uint8_t FileType1 = 0x4D;  // 'M'
constexpr std::size_t PixelOffsetOffset = 10;

// Info header and its longer variants; offsets count from the header's first byte.
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::size_t HeaderSizeOffset = 0;
constexpr std::size_t WidthOffset = 4;
constexpr std::size_t HeightOffset = 8;
constexpr std::size_t PlanesOffset = 12;
constexpr std::size_t BitCountOffset = 14;
constexpr std::size_t CompressionOffset = 16;
constexpr std::size_t ImageSizeOffset = 20;
constexpr std::size_t XResolutionOffset = 24;
constexpr std::size_t YResolutionOffset = 28;
constexpr std::size_t ColoursUsedOffset = 32;
constexpr std::size_t ColoursImportantOffset = 36;
// Bit-field masks: inside headers of 52 bytes or more, else right after a 40-byte header.
constexpr std::size_t RedMaskOffset = 40;
constexpr std::size_t GreenMaskOffset = 44;
constexpr std::size_t BlueMaskOffset = 48;
constexpr std::uint32_t MasksSize = 12;
constexpr std::uint32_t HeaderWithMasksSize = InfoHeaderSize + MasksSize;
// The alpha mask: inside headers of 56 bytes or more (the V4 and V5 headers editors write).
constexpr std::size_t AlphaMaskOffset = 52;
constexpr std::uint32_t HeaderWithAlphaMaskSize = HeaderWithMasksSize + 4;

// Core header: 12 bytes, unsigned 16-bit sizes, no compression, 3-byte colour entries.
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::size_t CoreWidthOffset = 4;
constexpr std::size_t CoreHeightOffset = 6;
constexpr std::size_t CorePlanesOffset = 8;
constexpr std::size_t CoreBitCountOffset = 10;
constexpr std::uint32_t CoreMaxDimension = 0xFFFF;

constexpr std::uint32_t CompressionNone = 0;
constexpr std::uint32_t CompressionBitFields = 3;
constexpr std::uint32_t MaxColourEntries = 256;
constexpr std::size_t InfoEntrySize = 4; // blue, green, red, reserved
constexpr std::size_t CoreEntrySize = 3; // blue, green, red

} // namespace bmp

// The description of an image, with the fields of an info header in file order, then the
// bit-field masks (meaningful for 16 and 32 bits with compression 3).
struct TBitmapInfoHeader {
  std::uint32_t headerSize = 0; // 40 for every image built here, 0 when none ever was
  std::int32_t width = 0;
  std::int32_t height = 0; // positive: rows stored bottom-up
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0; // 0 none, 3 bit-field masks, other values compressed
  std::uint32_t imageSize = 0;   // bytes in the pixel store
  std::int32_t xResolution = 0;  // pixels per metre
  std::int32_t yResolution = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t coloursImportant = 0;
  std::uint32_t redMask = 0;
  std::uint32_t greenMask = 0;
  std::uint32_t blueMask = 0;

  friend bool operator==(const TBitmapInfoHeader& a, const TBitmapInfoHeader& b);
  friend bool operator!=(const TBitmapInfoHeader& a, const TBitmapInfoHeader& b) {
    return !(a == b);
  }
};

// One colour of the palette; `flags` is always 0.
struct TPaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;

  friend bool operator==(const TPaletteEntry& a, const TPaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.flags == b.flags;
  }
};

// The pixel layouts a bitmap can have; Device when it holds no device-independent image, so
// no pixels of its own.
enum class PixelFormat { Device, Bits1, Bits4, Bits8, Bits15, Bits16, Bits24, Bits32, Custom };

// Which bit-field masks name a pixel format. The format a bitmap holds knows only the 5-6-5
// masks of 16 bits; copying pixels also knows 16-bit 5-5-5 and the plain 32-bit 8-8-8.
enum class TMaskLayouts { Held, ForCopying };

// The pixel format of a device-independent image that `header` describes: by bit count, and
// for 16 and 32 bits by compression and masks; Custom for anything else.
PixelFormat PixelFormatOf(const TBitmapInfoHeader& header, TMaskLayouts masks);

// Whether images of this compression are device-independent (uncompressed or bit-field masks).
inline bool IsIndependentCompression(std::uint32_t compression) {
  return compression == bmp::CompressionNone || compression == bmp::CompressionBitFields;
}

// Raises EInvalidGraphic "Bitmap image is not valid": a file that is no BMP the tool reads,
// or an image that cannot be written as one.
[[noreturn]] void RaiseInvalidGraphic();

} // namespace vex
