// Tests of reading pictures whose pixels matter: RLE streams decoded with the pixels they leave
// out, the failures that name what an editor did wrong, and colour channels widened to 8 bits.
#include "bmp_channel.h"
#include "bmp_reader.h"
#include "exceptions.h"

#include "bmp_builder.h"
#include "expect_throw_msg.h"

#include <gtest/gtest.h>

#include <string>

namespace vex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using vextest::TemplateLayout;

// A picture of `layout`'s headers and colour table, then `pixels` at its pixel offset.
Bytes PictureFile(TemplateLayout layout, const Bytes& pixels) {
  layout.pixels = false;
  Bytes file = vextest::TemplateFile(layout);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}
TemplateLayout Rle(std::uint16_t bits, std::int32_t width, std::int32_t height) {
  return TemplateLayout().Size(width, height).Bits(bits, bits == 8 ? 1 : 2).Colours(16);
}

// The indices, top row first, as the format lays them out: rows bottom-up, 4-byte aligned, the
// high nibble first at 4 bits.
Bytes IndicesOf(const TBmpFileContents& file) {
  const std::uint32_t w = std::uint32_t(file.header.width), h = std::uint32_t(file.header.height);
  const std::uint32_t bits = file.header.bitCount, stride = (w * bits + 31) / 32 * 4;
  Bytes indices;
  for (std::uint32_t y = 0; y < h; ++y)
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t byte = file.pixels.at((h - 1 - y) * stride + x * bits / 8);
      indices.push_back(bits == 8 ? byte : std::uint8_t(x % 2 == 0 ? byte >> 4 : byte & 0xF));
    }
  return indices;
}

class BmpReaderTest : public testing::Test {
protected:
  TBmpFileContents ReadPicture(const Bytes& bytes, TBmpPixels wanted) {
    return DecodeBmpFile(bytes, wanted);
  }
};

// Expected pixels are rows top first, split by '/': a hex digit per index, '.' for a pixel the
// stream leaves out (index 0). Uncompressed pictures cover every pixel and say nothing of it.
TEST_F(BmpReaderTest, PicturesComeAsIndicesWithThePixelsTheyCover) {
  const auto expect = [&](const char* name, const TemplateLayout& layout,
                          const std::string& expected, const Bytes& pixels) {
    SCOPED_TRACE(name);
    Bytes indices, covered;
    for (const char c : expected) {
      if (c != '/')
        indices.push_back(std::uint8_t(c == '.' ? 0 : std::stoi(std::string(1, c), nullptr, 16)));
      if (c != '/' && layout.compression != 0)
        covered.push_back(c != '.');
    }
    const Bytes file = PictureFile(layout, pixels);
    const TBmpFileContents checked = ReadPicture(file, TBmpPixels::CheckedOnly);
    const TBmpFileContents read = ReadPicture(file, TBmpPixels::AtPixelOffset);
    EXPECT_EQ(IndicesOf(read), indices);
    EXPECT_EQ(read.covered, covered);
    EXPECT_EQ(read.header.compression, 0u);
    EXPECT_EQ(checked.header, read.header);
    EXPECT_TRUE(checked.pixels.empty());
  };
  expect("RLE8 runs, absolute run with padding, end of line", Rle(8, 5, 2), "44444/12399",
         {0, 3, 1, 2, 3, 0, 2, 9, 0, 0, 5, 4, 0, 1});
  expect("RLE8 delta, end of line and of bitmap leave pixels out", Rle(8, 4, 3), "7.../..66/5...",
         {1, 5, 0, 2, 1, 1, 2, 6, 0, 0, 1, 7, 0, 1});
  expect("RLE8 runs into the rows' padding as ImageMagick writes them, end of line after the last",
         Rle(8, 5, 2), "11123/33333", {5, 3, 3, 0, 0, 0, 2, 1, 0, 4, 1, 2, 3, 4, 0, 0, 0, 1});
  expect("RLE4 runs by turns, odd absolute run with padding", Rle(4, 9, 1), "12134567a",
         {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 1, 0xAB, 0, 1});
  expect("RLE4 delta", Rle(4, 3, 2), "..f/...", {0, 2, 2, 1, 1, 0xF0, 0, 1});
  expect("RLE8 delta to just above the top row", Rle(8, 2, 2), "../5.", {1, 5, 0, 2, 0, 2, 0, 1});
  expect("8-bit without the last row's padding", TemplateLayout().Size(3, 2).Colours(16), "456/123",
         {1, 2, 3, 0, 4, 5, 6});
}

TEST_F(BmpReaderTest, PicturesAreRefusedWithWhatIsWrong) {
  const std::string saveAs = " file, not a BMP: save it as a Windows bitmap (.bmp)";
  const std::string notRead =
      " is not read: save the picture as an uncompressed Windows bitmap (.bmp)";
  const auto foreign = [](std::string start) {
    start.resize(40, 'x');
    return Bytes(start.begin(), start.end());
  };
  const std::string run = "An RLE8 run at byte ", delta = "An RLE8 delta at byte ";
  const std::string noEnd = "The RLE8 pixel data ends before its end-of-bitmap code";
  const Bytes cut = PictureFile(TemplateLayout().Size(3, 2).Colours(16), {1, 2, 3, 0, 4});
  const struct {
    const char* name;
    Bytes bytes;
    std::string message;
  } rows[] = {
      {"PNG", foreign("\x89PNG\r\n\x1a\n"), "This is a PNG" + saveAs},
      {"JPEG", foreign("\xFF\xD8\xFF\xE0"), "This is a JPEG" + saveAs},
      {"GIF", foreign("GIF89a"), "This is a GIF" + saveAs},
      {"JPEG inside", PictureFile(TemplateLayout().Bits(24, 4), {}),
       "Bitmap compression JPEG" + notRead},
      {"code 7", PictureFile(TemplateLayout().Bits(8, 7), {}),
       "Bitmap compression code 7" + notRead},
      {"RLE8 at 4 bits", PictureFile(TemplateLayout().Bits(4, 1), {}),
       "Bitmap compression RLE8 at 4 bits per pixel" + notRead},
      {"RLE4 at 8 bits", PictureFile(TemplateLayout().Bits(8, 2), {}),
       "Bitmap compression RLE4 at 8 bits per pixel" + notRead},
      {"top-down", PictureFile(Rle(8, 2, -1), {2, 1, 0, 1}),
       "The RLE8 picture is stored top-down, which run-length pictures cannot be: save it "
       "bottom-up or uncompressed"},
      {"run past the padding", PictureFile(Rle(8, 5, 2), {2, 1, 7, 1, 0, 1}),
       run + "2 of the pixel data goes past the end of its row"},
      {"RLE4 absolute run past the padding",
       PictureFile(Rle(4, 4, 1), {0, 9, 1, 2, 3, 4, 5, 0, 0, 1}),
       "An RLE4 run at byte 0 of the pixel data goes past the end of its row"},
      {"run past the last row", PictureFile(Rle(8, 2, 1), {2, 1, 0, 0, 1, 1, 0, 1}),
       run + "4 of the pixel data goes past the last row"},
      {"delta past the padding", PictureFile(Rle(8, 5, 2), {1, 1, 0, 2, 8, 0, 0, 1}),
       delta + "2 of the pixel data moves past the end of its row"},
      {"delta past the last row", PictureFile(Rle(8, 5, 2), {0, 2, 0, 3, 0, 1}),
       delta + "0 of the pixel data moves past the last row"},
      {"no end of bitmap", PictureFile(Rle(8, 2, 1), {2, 1}), noEnd},
      {"absolute run cut", PictureFile(Rle(8, 5, 1), {0, 4, 1, 2, 3}), noEnd},
      {"ends before its last row", cut,
       "The file ends before its last pixel row: its pixels need 7 bytes, the file holds 5"},
      {"pixel offset 20", vextest::Patched(cut, 10, 20), "Bitmap image is not valid"},
      {"pixel offset past the end", vextest::Patched(cut, 10, 14 + 40 + 64 + 5 + 1), // 1 past
       "The file ends before its last pixel row: its pixels need 7 bytes, the file holds 0"},
  };
  for (const auto& row : rows)
    for (const TBmpPixels wanted : {TBmpPixels::AtPixelOffset, TBmpPixels::CheckedOnly}) {
      SCOPED_TRACE(row.name);
      EXPECT_THROW_MSG(ReadPicture(row.bytes, wanted), EInvalidGraphic, row.message);
    }
}

// Expected values are what ImageMagick shows for 5-5-5 and 5-6-5 bitmaps; wider channels keep
// their top 8 bits.
TEST(BmpChannelTest, ChannelsWidenAsImageMagickShowsThem) {
  const struct {
    std::uint32_t mask, value;
    int shown; // -1: the mask is refused
  } rows[] = {
      {0x7C00, 4u << 10, 33}, {0x7C00, 24u << 10, 198}, {0x7C00, 31u << 10, 255},
      {0x1F, 0xFFE3, 24},     {0x7E0, 16u << 5, 65},    {0x7E0, 48u << 5, 195},
      {0x8000, 0x8000, 255},  {0x8000, 0x7FFF, 0},      {0xFFFFFFFF, 0x80FFFFFFu, 128},
      {0x7C03, 0, -1}, // a gap inside the run
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.mask << " " << row.value);
    if (row.shown < 0)
      EXPECT_THROW_MSG(ChannelOf(row.mask), EInvalidGraphic, "Bitmap image is not valid");
    else
      EXPECT_EQ(Scaled(row.value, ChannelOf(row.mask)), row.shown);
  }
}

// Cut (colour >> (8 - bits)), cut product (colour x max / 255) and rounded, worked by hand.
TEST(BmpChannelTest, StoredValuesAreTheColourAtTheChannelsPrecision) {
  const struct {
    std::uint32_t mask, value;
    std::uint8_t colour;
    bool stored;
  } rows[] = {
      {0x1F, 6, 52, 1},          {0x1F, 5, 52, 0},          {0x1F, 7, 52, 0},
      {0x1F, 0, 8, 1},           {0x1F, 1, 8, 1},           {0x1F, 2, 8, 0},
      {0x1F, 1, 5, 1},           {0x7E0, 61u << 5, 250, 1}, {0x7E0, 62u << 5, 250, 1},
      {0x7E0, 63u << 5, 250, 0}, {0x7E0, 60u << 5, 250, 0}, {0xF800, 0xC7FF, 200, 1},
      {0xF800, 0xC800, 200, 1},  {0xF800, 0xD000, 200, 0},  {0x8000, 0x8000, 255, 1},
      {0x8000, 0x7FFF, 255, 0},  {0xFF, 0xC8, 200, 1},      {0xFF, 0xC9, 200, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << std::hex << row.mask << " " << row.value << std::dec << " " << int(row.colour));
    EXPECT_EQ(StoresColour(row.value, ChannelOf(row.mask), row.colour), row.stored);
  }
}

} // namespace
} // namespace vex
