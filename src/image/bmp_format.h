// The layout of BMP files: where each header field lies, and the explicit little-endian reads
// and writes that every field goes through (never a struct copy, so host byte order and
// struct padding cannot leak into a file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vex::bmp {

// File header: 14 bytes at the start of every file.
constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t FileTypeOffset = 0; // "BM"
constexpr std::size_t FileSizeOffset = 2;
constexpr std::size_t Reserved1Offset = 6;
constexpr std::size_t Reserved2Offset = 8;
constexpr std::size_t PixelOffsetOffset = 10;
constexpr std::uint8_t FileType0 = 0x42; // 'B'
constexpr std::uint8_t FileType1 = 0x4D; // 'M'

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

inline std::uint16_t GetU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t GetI32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(GetU32(p));
}

inline void PutU8(std::vector<std::uint8_t>& out, std::uint8_t v) {
  out.push_back(v);
}
inline void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, static_cast<std::uint16_t>(v));
  PutU16(out, static_cast<std::uint16_t>(v >> 16));
}
inline void PutI32(std::vector<std::uint8_t>& out, std::int32_t v) {
  PutU32(out, static_cast<std::uint32_t>(v));
}

} // namespace vex::bmp
