// Template files for the bitmap tests, built byte by byte with the tests' own builder.
#pragma once

#include "bitmap.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vextest {

// A colour that differs from its neighbours in every channel, so a shifted table or swapped
// channels show.
vex::TPaletteEntry ColourOf(std::uint32_t i);
// The picture an 8-bit template file holds, y counted from the top.
std::uint8_t TemplatePixel(int x, int y);
// Bytes per row of a store `width` pixels wide.
std::uint32_t StrideOf(std::int32_t width, std::uint32_t bitCount);

// A template file; the defaults are an 8-bit 5 × 3 image with a full colour table.
struct TTemplate {
  std::uint32_t headerSize = 40; // 12: core header; above 40: zero-padded
  std::int32_t width = 5;
  std::int32_t height = 3; // negative: top-down
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 8;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 256;
  std::uint32_t colourEntries = 256; // entries the file holds
  std::array<std::uint32_t, 3> masks{};
  std::int32_t xResolution = 3780;
  std::int32_t yResolution = 2835;
  std::uint32_t coloursImportant = 17;
  std::uint32_t gap = 0; // bytes between colour table and pixels, honoured by the pixel offset
  bool pixels = true;
};

// The file: the file header, the header with masks where they belong, the colour table (its
// reserved bytes 0xA5), the gap (0xEE bytes), then the pixel rows in store order.
std::vector<std::uint8_t> TemplateBytes(const TTemplate& t);

} // namespace vextest
