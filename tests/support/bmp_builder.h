// The tests' own bitmap files: palette templates to read, and the exact bytes a converted
// picture must come out as. Built field by field with the tests' byte builder, independently
// of the tool's writer.
#pragma once

#include "byte_builder.h"

#include <cstdint>
#include <vector>

namespace vextest {

struct Colour {
  std::uint8_t r, g, b;
};

// `count` distinct, non-symmetric colours.
inline std::vector<Colour> TestColours(std::size_t count) {
  std::vector<Colour> colours;
  for (std::size_t i = 0; i < count; ++i)
    colours.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                       static_cast<std::uint8_t>(i * 7 + 3)});
  return colours;
}

struct TemplateLayout {
  std::vector<Colour> colours = TestColours(256);
  bool core = false; // 12-byte core header instead of the 40-byte info header
  std::uint16_t bitCount = 8;
  std::uint32_t compression = 0;
  std::int32_t width = 1, height = 1;
  std::int32_t xResolution = 2835, yResolution = 3780;
  std::uint32_t coloursUsed = 0;      // 0: the full table of the bit count
  std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue; written when compression is 3
};

// A template file: headers, colour table, and zero pixel bytes for width x height.
inline std::vector<std::uint8_t> TemplateFile(const TemplateLayout& t) {
  const std::uint32_t entry = t.core ? 3 : 4;
  const std::uint32_t header = t.core ? 12 : 40;
  const std::uint32_t table = entry * static_cast<std::uint32_t>(t.colours.size());
  const std::uint32_t stride = (static_cast<std::uint32_t>(t.width) * t.bitCount + 31) / 32 * 4;
  const std::uint32_t image =
      stride * static_cast<std::uint32_t>(t.height < 0 ? -t.height : t.height);
  const bool hasMasks = !t.core && t.compression == 3;
  const std::uint32_t pixelOffset = 14 + header + (hasMasks ? 12 : 0) + table;
  ByteBuilder b;
  b.Text("BM");               // file type
  b.U32(pixelOffset + image); // file size
  b.U16(0).U16(0);            // reserved
  b.U32(pixelOffset);         // pixel offset
  b.U32(header);              // header size
  if (t.core) {
    b.U16(static_cast<std::uint16_t>(t.width));  // width
    b.U16(static_cast<std::uint16_t>(t.height)); // height
    b.U16(1);                                    // planes
    b.U16(t.bitCount);                           // bit count
  } else {
    b.I32(t.width);       // width
    b.I32(t.height);      // height
    b.U16(1);             // planes
    b.U16(t.bitCount);    // bit count
    b.U32(t.compression); // compression
    b.U32(image);         // image size
    b.I32(t.xResolution); // x resolution
    b.I32(t.yResolution); // y resolution
    b.U32(t.coloursUsed); // colours used
    b.U32(0);             // colours important
  }
  if (hasMasks)
    b.U32(t.masks[0]).U32(t.masks[1]).U32(t.masks[2]); // red, green, blue masks
  for (const Colour& c : t.colours) {
    b.U8(c.b).U8(c.g).U8(c.r); // blue, green, red
    if (!t.core)
      b.U8(0x77); // reserved: never copied into a written file
  }
  b.Repeat(0, image);
  return b.Get();
}

// The file a picture of width x height must become with template `t`; `pixel(x, y)`, y counted
// from the top, gives its indices. The colour table has an entry for every index: the
// template's colours, then black.
template <typename PixelAt>
std::vector<std::uint8_t> ExpectedBitmapFileOf(const TemplateLayout& t, int width, int height,
                                               PixelAt pixel) {
  if (width == 0 || height == 0)
    return {};
  const auto rowBytes = static_cast<std::uint32_t>(width + 3) / 4u * 4u;
  const std::uint32_t image = rowBytes * static_cast<std::uint32_t>(height);
  const std::uint32_t head = t.core ? 14 + 12 + 3 * 256 : 14 + 40 + 4 * 256;
  ByteBuilder b;
  b.Text("BM");        // file type
  b.U32(head + image); // file size
  b.U16(0).U16(0);     // reserved
  b.U32(head);         // pixel offset
  if (t.core) {
    b.U32(12);                                 // header size
    b.U16(static_cast<std::uint16_t>(width));  // width
    b.U16(static_cast<std::uint16_t>(height)); // height
    b.U16(1);                                  // planes
    b.U16(8);                                  // bit count
  } else {
    b.U32(40);            // header size
    b.I32(width);         // width
    b.I32(height);        // height, positive: bottom-up
    b.U16(1);             // planes
    b.U16(8);             // bit count
    b.U32(0);             // compression
    b.U32(image);         // image size
    b.I32(t.xResolution); // x resolution, the template's
    b.I32(t.yResolution); // y resolution, the template's
    b.U32(256);           // colours used
    b.U32(0);             // colours important
  }
  for (std::size_t i = 0; i < 256; ++i) {
    const Colour c = i < t.colours.size() ? t.colours[i] : Colour{0, 0, 0};
    b.U8(c.b).U8(c.g).U8(c.r); // blue, green, red
    if (!t.core)
      b.U8(0); // reserved
  }
  for (int y = height - 1; y >= 0; --y) { // bottom row of the picture first
    for (int x = 0; x < width; ++x)
      b.U8(pixel(x, y));
    b.Repeat(0, rowBytes - static_cast<std::uint32_t>(width)); // padding
  }
  return b.Get();
}

// The same for a picture whose indices are given top row first.
inline std::vector<std::uint8_t> ExpectedBitmapFile(const TemplateLayout& t, std::uint16_t width,
                                                    std::uint16_t height,
                                                    const std::uint8_t* pixels) {
  return ExpectedBitmapFileOf(t, width, height, [&](int x, int y) {
    return pixels[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)];
  });
}

} // namespace vextest
