// The tests' own bitmap files: palette templates to read, and the exact bytes a converted
// picture must come out as. Built field by field with the tests' byte builder, independently
// of the tool's writer.
#pragma once

#include "bmp_format.h"
#include "byte_builder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vextest {

// A colour that differs from its neighbours in every channel, so a shifted table or swapped
// channels show.
inline vex::TPaletteEntry ColourOf(std::uint32_t i) {
  return {static_cast<std::uint8_t>(i * 7 + 3), static_cast<std::uint8_t>(255 - i),
          static_cast<std::uint8_t>(i * 13 + 1), 0};
}
inline std::vector<vex::TPaletteEntry> TestColours(std::uint32_t count) {
  std::vector<vex::TPaletteEntry> colours;
  for (std::uint32_t i = 0; i < count; ++i)
    colours.push_back(ColourOf(i));
  return colours;
}

// The picture an 8-bit template file holds, y counted from the top.
inline std::uint8_t TemplatePixel(int x, int y) {
  return static_cast<std::uint8_t>(x * 5 + y * 11 + 2);
}

// Bytes per row of a store `width` pixels wide.
inline std::uint32_t StrideOf(std::int32_t width, std::uint32_t bitCount) {
  return (static_cast<std::uint32_t>(width) * bitCount + 31) / 32 * 4;
}

// A template file; the defaults are an 8-bit 5 × 3 image with a full colour table. The setters
// chain, so a table row names what it changes: TemplateLayout().Size(3, 2).Bits(16).
struct TemplateLayout {
  std::uint32_t headerSize = 40; // 12: core header; above 40: zero-padded
  std::int32_t width = 5;
  std::int32_t height = 3; // negative: top-down
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 8;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 256;
  std::vector<vex::TPaletteEntry> colours = TestColours(256); // the table the file holds
  std::array<std::uint32_t, 3> masks{};                       // red, green, blue
  std::uint32_t alphaMask = 0; // with the masks, in headers of 56 bytes or more
  std::int32_t xResolution = 3780;
  std::int32_t yResolution = 2835;
  std::uint32_t coloursImportant = 17;
  std::uint32_t gap = 0; // bytes between colour table and pixels, honoured by the pixel offset
  bool pixels = true;

  TemplateLayout& Header(std::uint32_t size) {
    headerSize = size;
    return *this;
  }
  TemplateLayout& Size(std::int32_t w, std::int32_t h) {
    width = w;
    height = h;
    return *this;
  }
  // The bit count, with a full colour table up to 8 bits and none above.
  TemplateLayout& Bits(std::uint16_t bits, std::uint32_t withCompression = 0) {
    bitCount = bits;
    compression = withCompression;
    return Colours(bits <= 8 ? 1u << bits : 0);
  }
  // Bit-field masks: compression 3.
  TemplateLayout& Masks(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    compression = 3;
    masks = {red, green, blue};
    return *this;
  }
  // `count` colours in the table, and colours used saying so.
  TemplateLayout& Colours(std::uint32_t count) {
    colours = TestColours(count);
    coloursUsed = count;
    return *this;
  }
  bool Core() const { return headerSize == 12; }
};

// The file: the file header, the header with masks where they belong, the colour table (its
// reserved bytes 0xA5), the gap (0xEE bytes), then the pixel rows in store order: for 8 bits
// the template's picture with zero padding, for other depths 0x5A throughout.
inline std::vector<std::uint8_t> TemplateFile(const TemplateLayout& t) {
  const auto entries = static_cast<std::uint32_t>(t.colours.size());
  // Masks follow a 40-byte header and lie inside headers of 52 bytes or more.
  const bool masksAfter = t.headerSize == 40 && t.compression == 3;
  const bool masksInside = t.compression == 3 && t.headerSize >= 52;
  const std::uint32_t masksEnd = !masksInside ? 40 : t.headerSize >= 56 ? 56 : 52;
  const std::uint32_t offset =
      14 + t.headerSize + (masksAfter ? 12 : 0) + entries * (t.Core() ? 3 : 4) + t.gap;
  const std::int32_t rows = std::abs(t.height);
  const std::uint32_t stride = StrideOf(t.width, t.bitCount);
  const std::uint32_t pixelBytes = t.pixels ? stride * static_cast<std::uint32_t>(rows) : 0;
  ByteBuilder b;
  b.Text("BM");               // file type
  b.U32(offset + pixelBytes); // file size
  b.U16(0).U16(0);            // reserved
  b.U32(offset);              // pixel offset
  b.U32(t.headerSize);        // header size
  if (t.Core()) {
    b.U16(static_cast<std::uint16_t>(t.width));  // width
    b.U16(static_cast<std::uint16_t>(t.height)); // height
    b.U16(t.planes);                             // planes
    b.U16(t.bitCount);                           // bit count
  } else {
    b.I32(t.width).I32(t.height);                 // width, height
    b.U16(t.planes).U16(t.bitCount);              // planes, bit count
    b.U32(t.compression).U32(0);                  // compression, image size
    b.I32(t.xResolution).I32(t.yResolution);      // x and y resolution
    b.U32(t.coloursUsed).U32(t.coloursImportant); // colours used, colours important
    if (masksAfter || masksInside)
      b.U32(t.masks[0]).U32(t.masks[1]).U32(t.masks[2]); // red, green, blue masks
    if (masksEnd == 56)
      b.U32(t.alphaMask); // alpha mask
    b.Repeat(0, t.headerSize - std::min<std::uint32_t>(t.headerSize, masksEnd));
  }
  for (const vex::TPaletteEntry& c : t.colours) {
    b.U8(c.blue).U8(c.green).U8(c.red); // blue, green, red
    if (!t.Core())
      b.U8(0xA5); // reserved: never copied into a written file
  }
  b.Repeat(0xEE, t.gap);
  for (std::int32_t s = 0; t.pixels && s < rows; ++s) {
    const int y = t.height > 0 ? rows - 1 - s : s;
    for (std::uint32_t x = 0; x < stride; ++x) {
      if (t.bitCount != 8)
        b.U8(0x5A);
      else
        b.U8(x < static_cast<std::uint32_t>(t.width) ? TemplatePixel(static_cast<int>(x), y) : 0);
    }
  }
  return b.Get();
}

// The file an 8-bit picture of width x height must become with template `t`; `pixel(x, y)`,
// y counted from the top, gives its indices. The colour table has an entry for every index:
// the template's colours, then black.
template <typename PixelAt>
std::vector<std::uint8_t> ExpectedBitmapFileOf(const TemplateLayout& t, int width, int height,
                                               PixelAt pixel) {
  if (width == 0 || height == 0)
    return {};
  const auto rowBytes = static_cast<std::uint32_t>(width + 3) / 4u * 4u;
  const std::uint32_t image = rowBytes * static_cast<std::uint32_t>(height);
  const std::uint32_t head = t.Core() ? 14 + 12 + 3 * 256 : 14 + 40 + 4 * 256;
  ByteBuilder b;
  b.Text("BM");        // file type
  b.U32(head + image); // file size
  b.U16(0).U16(0);     // reserved
  b.U32(head);         // pixel offset
  if (t.Core()) {
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
    const vex::TPaletteEntry c = i < t.colours.size() ? t.colours[i] : vex::TPaletteEntry{};
    b.U8(c.blue).U8(c.green).U8(c.red); // blue, green, red
    if (!t.Core())
      b.U8(0); // reserved
  }
  for (int y = height - 1; y >= 0; --y) { // bottom row of the picture first
    for (int x = 0; x < width; ++x)
      b.U8(pixel(x, y));
    b.Repeat(0, rowBytes - static_cast<std::uint32_t>(width)); // padding
  }
  return b.Get();
}

// The file that a member named `name` becomes: pictures (".bmp" and ".bkg", the letters in
// any case) are converted, and "name.bkg" becomes "name.bkg.bmp"; other members keep the name.
struct MemberFile {
  std::string name;
  bool picture;
};
inline MemberFile FileOfMember(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  std::string ext(dot == std::string_view::npos ? "" : name.substr(dot));
  for (char& c : ext)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const bool background = ext == ".bkg";
  return {std::string(name) + (background ? ".bmp" : ""), background || ext == ".bmp"};
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
