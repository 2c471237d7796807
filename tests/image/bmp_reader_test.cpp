// Tests of reading pictures whose pixels matter: RLE streams decoded with the pixels they leave
// out, the failures that name what an editor did wrong, and colour channels widened to 8 bits.
#include "bmp_channel.h"
#include "bmp_reader.h"
#include "exceptions.h"

#include "expect_throw_msg.h"
#include "template_folder_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <typeinfo>

namespace vex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using vextest::ExpectRaised;
using vextest::TemplateFile;
using vextest::TemplateLayout;

const std::filesystem::path SuiteFolder = VEX_BMPSUITE_DIR;

// A picture of `layout`'s headers and colour table, then `pixels` at its pixel offset.
Bytes PictureFile(TemplateLayout layout, const Bytes& pixels) {
  layout.pixels = false;
  Bytes file = TemplateFile(layout);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

TemplateLayout Rle(std::uint16_t bits, std::int32_t width, std::int32_t height) {
  return TemplateLayout().Size(width, height).Bits(bits, bits == 8 ? 1 : 2).Colours(16);
}

// The index at (x, y), y counted from the top, read from the store as the file format lays it
// out: rows bottom-up, 4-byte aligned, the high nibble first at 4 bits.
std::uint8_t IndexAt(const TBmpFileContents& file, std::uint32_t x, std::uint32_t y) {
  const std::uint64_t stride =
      (std::uint64_t{std::uint32_t(file.header.width)} * file.header.bitCount + 31) / 32 * 4;
  const std::uint64_t row = std::uint32_t(file.header.height) - 1 - y;
  const std::uint8_t byte = file.pixels.at(row * stride + x * file.header.bitCount / 8);
  if (file.header.bitCount == 4)
    return static_cast<std::uint8_t>(x % 2 == 0 ? byte >> 4 : byte & 0xF);
  return byte;
}

Bytes IndicesOf(const TBmpFileContents& file) {
  Bytes indices;
  for (std::uint32_t y = 0; y < std::uint32_t(file.header.height); ++y)
    for (std::uint32_t x = 0; x < std::uint32_t(file.header.width); ++x)
      indices.push_back(IndexAt(file, x, y));
  return indices;
}

class BmpReaderTest : public vextest::TemplateFolderTest {
protected:
  TBmpFileContents ReadPicture(const Bytes& bytes, TBmpPixels wanted = TBmpPixels::AtPixelOffset) {
    vextest::WriteWholeFile(Path("picture.bmp"), bytes);
    return ReadBmpFile(Path("picture.bmp"), wanted);
  }
};

TEST_F(BmpReaderTest, PicturesComeAsIndicesWithThePixelsTheyCover) {
  const struct {
    const char* name;
    TemplateLayout layout;
    Bytes pixels;
    Bytes indices; // top row first
    Bytes covered;
  } rows[] = {
      {"RLE8 runs, absolute with padding, end of line",
       Rle(8, 5, 2),
       {0, 3, 1, 2, 3, 0, 2, 9, 0, 0, 5, 4, 0, 1},
       {4, 4, 4, 4, 4, 1, 2, 3, 9, 9},
       {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {"RLE8 delta, end of line and of bitmap leave pixels out",
       Rle(8, 4, 3),
       {1, 5, 0, 2, 1, 1, 2, 6, 0, 0, 1, 7, 0, 1},
       {7, 0, 0, 0, 0, 0, 6, 6, 5, 0, 0, 0},
       {1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0}},
      {"RLE8 runs into the rows' padding, as ImageMagick writes them",
       Rle(8, 5, 2),
       {5, 3, 3, 0, 0, 0, 2, 1, 0, 4, 1, 2, 3, 4, 0, 1},
       {1, 1, 1, 2, 3, 3, 3, 3, 3, 3},
       {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {"RLE4 run into an odd width's padding", Rle(4, 3, 1), {8, 0x21, 0, 1}, {2, 1, 2}, {1, 1, 1}},
      {"RLE8 end of line after the last row",
       Rle(8, 2, 1),
       {2, 3, 0, 0, 0, 0, 0, 1},
       {3, 3},
       {1, 1}},
      {"RLE8 delta to the end of the last row", Rle(8, 2, 1), {0, 2, 2, 1, 0, 1}, {0, 0}, {0, 0}},
      {"RLE4 runs by turns, odd absolute with padding",
       Rle(4, 9, 1),
       {3, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 1, 0xAB, 0, 1},
       {1, 2, 1, 3, 4, 5, 6, 7, 10},
       {1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {"RLE4 delta",
       Rle(4, 3, 2),
       {0, 2, 2, 1, 1, 0xF0, 0, 1},
       {0, 0, 15, 0, 0, 0},
       {0, 0, 1, 0, 0, 0}},
      {"8-bit without the last row's padding",
       TemplateLayout().Size(3, 2).Colours(16),
       {1, 2, 3, 0, 4, 5, 6},
       {4, 5, 6, 1, 2, 3},
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Bytes file = PictureFile(row.layout, row.pixels);
    const TBmpFileContents checked = ReadPicture(file, TBmpPixels::CheckedOnly);
    const TBmpFileContents read = ReadPicture(file);
    EXPECT_EQ(IndicesOf(read), row.indices);
    EXPECT_EQ(read.covered, row.covered);
    EXPECT_EQ(read.header.compression, 0u);
    EXPECT_EQ(read.header.bitCount, row.layout.bitCount);
    EXPECT_EQ(checked.header, read.header);
    EXPECT_EQ(checked.geometry.Bytes(), read.geometry.Bytes());
    EXPECT_TRUE(checked.pixels.empty());
  }
}

// The BMP Suite's RLE files hold the pictures of its uncompressed ones: every pixel a stream
// covers has the twin's colour (the tables of the files with gaps have one more entry), and
// only those with deltas or a cut leave pixels out.
TEST_F(BmpReaderTest, SuiteRleFilesMatchTheirUncompressedTwins) {
  const struct {
    const char* rle;
    const char* twin;
    bool leavesOut;
  } rows[] = {
      {"g/pal8rle.bmp", "g/pal8.bmp", false},    {"g/pal4rle.bmp", "g/pal4.bmp", false},
      {"q/pal8rletrns.bmp", "g/pal8.bmp", true}, {"q/pal8rlecut.bmp", "g/pal8.bmp", true},
      {"q/pal4rletrns.bmp", "g/pal4.bmp", true}, {"q/pal4rlecut.bmp", "g/pal4.bmp", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rle);
    const auto rle = ReadBmpFile((SuiteFolder / row.rle).string(), TBmpPixels::AtPixelOffset);
    const auto twin = ReadBmpFile((SuiteFolder / row.twin).string(), TBmpPixels::AtPixelOffset);
    ASSERT_EQ(rle.covered.size(), 127u * 64u);
    const Bytes indices = IndicesOf(rle), expected = IndicesOf(twin);
    std::size_t left = 0, wrong = 0;
    for (std::size_t i = 0; i < indices.size(); ++i) {
      left += rle.covered[i] == 0 ? 1 : 0;
      wrong += rle.covered[i] != 0 && !(rle.colours.at(indices[i]) == twin.colours.at(expected[i]));
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(left != 0, row.leavesOut);
  }
}

TEST_F(BmpReaderTest, PicturesAreRefusedWithWhatIsWrong) {
  const std::string invalid = "Bitmap image is not valid";
  const std::string uncompressed =
      " is not read: save the picture as an uncompressed Windows bitmap (.bmp)";
  const Bytes padded = TemplateFile(TemplateLayout().Size(3, 2).Colours(16));
  const auto foreign = [](std::string start) {
    start.resize(40, '\x11');
    return Bytes(start.begin(), start.end());
  };
  TemplateLayout os2 = TemplateLayout().Header(64).Bits(24, 4);
  const struct {
    const char* name;
    Bytes bytes;
    const std::type_info& type;
    std::string message;
  } rows[] = {
      {"PNG", foreign("\x89PNG\r\n\x1a\n"), typeid(EInvalidGraphic),
       "This is a PNG file, not a BMP: save it as a Windows bitmap (.bmp)"},
      {"JPEG", foreign("\xFF\xD8\xFF\xE0"), typeid(EInvalidGraphic),
       "This is a JPEG file, not a BMP: save it as a Windows bitmap (.bmp)"},
      {"GIF", foreign("GIF89a"), typeid(EInvalidGraphic),
       "This is a GIF file, not a BMP: save it as a Windows bitmap (.bmp)"},
      {"neither BM nor a known format", foreign("PK\3\4"), typeid(EInvalidGraphic), invalid},
      {"shorter than a file header", {'B', 'M'}, typeid(EReadError), "Stream read error"},
      {"JPEG inside", PictureFile(TemplateLayout().Bits(24, 4), {}), typeid(EInvalidGraphic),
       "Bitmap compression JPEG" + uncompressed},
      {"PNG inside", PictureFile(TemplateLayout().Bits(24, 5), {}), typeid(EInvalidGraphic),
       "Bitmap compression PNG" + uncompressed},
      {"OS/2 RLE24", PictureFile(os2, {}), typeid(EInvalidGraphic),
       "Bitmap compression RLE24" + uncompressed},
      {"code 7", PictureFile(TemplateLayout().Bits(8, 7), {}), typeid(EInvalidGraphic),
       "Bitmap compression code 7" + uncompressed},
      {"RLE8 at 4 bits", PictureFile(TemplateLayout().Bits(4, 1), {}), typeid(EInvalidGraphic),
       "Bitmap compression RLE8 at 4 bits per pixel" + uncompressed},
      {"RLE4 at 8 bits", PictureFile(TemplateLayout().Bits(8, 2), {}), typeid(EInvalidGraphic),
       "Bitmap compression RLE4 at 8 bits per pixel" + uncompressed},
      {"top-down RLE8", PictureFile(Rle(8, 2, -1), {2, 1, 0, 1}), typeid(EInvalidGraphic),
       "The RLE8 picture is stored top-down, which run-length pictures cannot be: save it "
       "bottom-up or uncompressed"},
      {"RLE8 run past the row's end", PictureFile(Rle(8, 5, 2), {2, 1, 7, 1, 0, 1}),
       typeid(EInvalidGraphic),
       "An RLE8 run at byte 2 of the pixel data goes past the end of its row"},
      {"RLE4 absolute run past the row's end",
       PictureFile(Rle(4, 4, 1), {0, 9, 1, 2, 3, 4, 5, 0, 0, 1}), typeid(EInvalidGraphic),
       "An RLE4 run at byte 0 of the pixel data goes past the end of its row"},
      {"RLE8 run past the last row", PictureFile(Rle(8, 2, 1), {2, 1, 0, 0, 1, 1, 0, 1}),
       typeid(EInvalidGraphic), "An RLE8 run at byte 4 of the pixel data goes past the last row"},
      {"RLE8 delta past the row's end", PictureFile(Rle(8, 5, 2), {1, 1, 0, 2, 8, 0, 0, 1}),
       typeid(EInvalidGraphic),
       "An RLE8 delta at byte 2 of the pixel data moves past the end of its row"},
      {"RLE4 delta past the last row", PictureFile(Rle(4, 5, 2), {0, 2, 0, 3, 0, 1}),
       typeid(EInvalidGraphic),
       "An RLE4 delta at byte 0 of the pixel data moves past the last row"},
      {"RLE8 without an end of bitmap", PictureFile(Rle(8, 2, 1), {2, 1}), typeid(EInvalidGraphic),
       "The RLE8 pixel data ends before its end-of-bitmap code"},
      {"RLE8 absolute run cut", PictureFile(Rle(8, 5, 1), {0, 4, 1, 2, 3}), typeid(EInvalidGraphic),
       "The RLE8 pixel data ends before its end-of-bitmap code"},
      {"RLE4 cut inside a code", PictureFile(Rle(4, 5, 1), {2, 1, 0}), typeid(EInvalidGraphic),
       "The RLE4 pixel data ends before its end-of-bitmap code"},
      {"ends before its last row", Bytes(padded.begin(), padded.end() - 3), typeid(EInvalidGraphic),
       "The file ends before its last pixel row: its pixels need 7 bytes, the file holds 5"},
      {"pixel offset past the end", vextest::Patched(padded, 10, std::uint32_t(padded.size() + 9)),
       typeid(EInvalidGraphic),
       "The file ends before its last pixel row: its pixels need 7 bytes, the file holds 0"},
      {"pixel offset inside the colour table", vextest::Patched(padded, 10, 60),
       typeid(EInvalidGraphic), invalid},
  };
  for (const auto& row : rows) {
    for (const TBmpPixels wanted : {TBmpPixels::AtPixelOffset, TBmpPixels::CheckedOnly}) {
      SCOPED_TRACE(std::string(row.name) +
                   (wanted == TBmpPixels::CheckedOnly ? ", checked only" : ""));
      ExpectRaised([&] { ReadPicture(row.bytes, wanted); }, row.type, row.message);
    }
  }
}

// Expected values are what ImageMagick shows for 5-5-5 and 5-6-5 bitmaps; wider channels keep
// their top 8 bits.
TEST(BmpChannelTest, ChannelsWidenAsImageMagickShowsThem) {
  const struct {
    std::uint32_t mask, value;
    std::uint8_t shown;
  } rows[] = {
      {0x7C00, 4u << 10, 33},   {0x7C00, 8u << 10, 66}, {0x7C00, 24u << 10, 198},
      {0x7C00, 31u << 10, 255}, {0x1F, 0xFFE3, 24},     {0x7E0, 16u << 5, 65},
      {0x7E0, 48u << 5, 195},   {0x7E0, 63u << 5, 255}, {0xFF0000, 0x7F0000, 127},
      {0x8000, 0x8000, 255},    {0x8000, 0x7FFF, 0},    {0xFFFFFFFF, 0x80FFFFFFu, 128},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.mask << " " << row.value);
    EXPECT_EQ(Scaled(row.value, ChannelOf(row.mask)), row.shown);
  }
  for (const std::uint32_t mask : {0u, 0x7C1Fu}) {
    SCOPED_TRACE(mask);
    EXPECT_THROW_MSG(ChannelOf(mask), EInvalidGraphic, "Bitmap image is not valid");
  }
}

} // namespace
} // namespace vex
