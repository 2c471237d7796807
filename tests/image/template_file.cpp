// Template files for the bitmap tests.
#include "template_file.h"

#include "byte_builder.h"

#include <cstdlib>

namespace vextest {

vex::TPaletteEntry ColourOf(std::uint32_t i) {
  return {static_cast<std::uint8_t>(i * 7 + 3), static_cast<std::uint8_t>(255 - i),
          static_cast<std::uint8_t>(i * 13 + 1), 0};
}

std::uint8_t TemplatePixel(int x, int y) {
  return static_cast<std::uint8_t>(x * 5 + y * 11 + 2);
}

std::uint32_t StrideOf(std::int32_t width, std::uint32_t bitCount) {
  return (static_cast<std::uint32_t>(width) * bitCount + 31) / 32 * 4;
}

namespace {

void AppendTemplateHeader(ByteBuilder& b, const TTemplate& t) {
  if (t.headerSize == 12) {
    b.U32(12).U16(static_cast<std::uint16_t>(t.width)).U16(static_cast<std::uint16_t>(t.height));
    b.U16(t.planes).U16(t.bitCount);
    return;
  }
  b.U32(t.headerSize).I32(t.width).I32(t.height).U16(t.planes).U16(t.bitCount);
  b.U32(t.compression).U32(0).I32(t.xResolution).I32(t.yResolution);
  b.U32(t.coloursUsed).U32(t.coloursImportant);
  // Masks follow a 40-byte header and lie inside headers of 52 bytes or more.
  std::uint32_t used = 40;
  if (t.compression == 3 && (t.headerSize == 40 || t.headerSize >= 52)) {
    b.U32(t.masks[0]).U32(t.masks[1]).U32(t.masks[2]);
    used += 12;
  }
  if (t.headerSize > used)
    b.Repeat(0, t.headerSize - used);
}

} // namespace

std::vector<std::uint8_t> TemplateBytes(const TTemplate& t) {
  const bool core = t.headerSize == 12;
  const std::uint32_t masks = t.headerSize == 40 && t.compression == 3 ? 12 : 0;
  const std::uint32_t offset = 14 + t.headerSize + masks + t.colourEntries * (core ? 3 : 4) + t.gap;
  const std::int32_t rows = std::abs(t.height);
  const std::uint32_t stride = StrideOf(t.width, t.bitCount);
  ByteBuilder b;
  const std::uint32_t pixelBytes = t.pixels ? stride * static_cast<std::uint32_t>(rows) : 0;
  b.U8('B').U8('M').U32(offset + pixelBytes).U16(0).U16(0).U32(offset);
  AppendTemplateHeader(b, t);
  for (std::uint32_t i = 0; i < t.colourEntries; ++i) {
    const vex::TPaletteEntry c = ColourOf(i);
    b.U8(c.blue).U8(c.green).U8(c.red);
    if (!core)
      b.U8(0xA5); // a reserved byte that written files must not carry
  }
  b.Repeat(0xEE, t.gap);
  for (std::int32_t s = 0; t.pixels && s < rows; ++s) {
    const int y = t.height > 0 ? rows - 1 - s : s;
    for (std::uint32_t x = 0; x < stride; ++x) {
      // 8 bits: the template's picture and zero padding; other layouts: 0x5A throughout.
      if (t.bitCount != 8)
        b.U8(0x5A);
      else
        b.U8(x < static_cast<std::uint32_t>(t.width) ? TemplatePixel(static_cast<int>(x), y) : 0);
    }
  }
  return b.Get();
}

} // namespace vextest
