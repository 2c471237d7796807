// Reading PNG files: every kind an editor saves (tests/data/png/README.md says how) comes as
// the parts a bitmap is read into; a broken file is refused with what is wrong.
#include "exceptions.h"
#include "png_reader.h"

#include "expect_throw_msg.h"
#include "template_folder_test.h"

#include <gtest/gtest.h>

namespace vex {
namespace {

using Bytes = std::vector<std::uint8_t>;

class PngReaderTest : public vextest::TemplateFolderTest {
protected:
  TBmpFileContents ReadPng(const Bytes& bytes, TBmpPixels wanted) {
    vextest::WriteWholeFile(Path("picture.png"), bytes);
    return ReadPngFile(TFile::OpenOrRaise(Path("picture.png"), TOpenMode::ReadShareRead), wanted);
  }
  Bytes DataFile(const std::string& name) { return vextest::ReadWholeFile(VEX_PNG_DIR + name); }
};

// Pixels top row first: an index, or a 32-bit value (0xAARRGGBB under the masks) each.
std::vector<std::uint32_t> PixelsOf(const TBmpFileContents& file) {
  const std::uint32_t w = std::uint32_t(file.header.width), h = std::uint32_t(file.header.height);
  const std::uint32_t bytes = file.header.bitCount / 8u, stride = (w * bytes + 3) / 4 * 4;
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t y = 0; y < h; ++y)
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t* p = &file.pixels.at((h - 1 - y) * stride + x * bytes);
      pixels.push_back(bytes == 1 ? p[0] : vextest::FieldAt(p, 4));
    }
  return pixels;
}

TEST_F(PngReaderTest, EveryKindComesAsIndicesOrColours) {
  using Pixels = std::vector<std::uint32_t>;
  const Pixels rgb{0xFF0A141E, 0xFF28323C, 0xFF46505A, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  const Pixels grey{0xFF000000, 0xFF646464, 0xFFFFFFFF, 0xFF070707, 0xFF080808, 0xFF090909};
  const Pixels rgba{0xFF0A141E, 0x8028323C, 0x0046505A, 0x01FF0000, 0x0200FF00, 0x030000FF};
  const Pixels greyAlpha{0x05000000, 0x06646464, 0x07FFFFFF, 0x00070707, 0xFF080808, 0x09090909};
  Pixels rgbClear = rgb, greyClear = grey;
  rgbClear[1] = 0x0028323C, greyClear[1] = 0x00646464;
  const auto colours = [](std::size_t n) { // the palette Pillow saved, black after
    std::vector<TPaletteEntry> c{{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {255, 255, 255}, {1, 2, 3}};
    c.resize(n);
    return c;
  };
  Bytes alpha256{0, 128};
  alpha256.resize(256, 255);
  const std::uint32_t none = 0, alpha = 0xFF000000;
  const struct {
    const char* file;
    std::uint32_t alphaMask;
    Pixels pixels;
    std::vector<TPaletteEntry> colours = {}; // none: 32-bit pixels
    Bytes colourAlpha = {};
  } rows[] = {
      {"rgb8.png", none, rgb},
      {"rgb8_interlaced.png", none, rgb},
      {"rgb16.png", none, rgb}, // 16-bit channels keep their top byte
      {"rgb8_trns.png", alpha, rgbClear},
      {"rgba8.png", alpha, rgba},
      {"grey8.png", none, grey},
      {"grey16.png", none, grey},
      {"grey8_trns.png", alpha, greyClear},
      {"greyalpha8.png", alpha, greyAlpha},
      {"indexed1.png", none, {1, 0, 1, 0, 0, 1}, colours(2)},
      {"indexed2.png", none, {3, 0, 1, 2, 3, 1}, colours(4)},
      {"indexed4.png", none, {4, 0, 1, 2, 3, 4}, colours(16)},
      {"indexed8.png", none, {4, 0, 1, 2, 3, 4}, colours(256), alpha256},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const TBmpFileContents read = ReadPng(DataFile(row.file), TBmpPixels::AtPixelOffset);
    const TBmpFileContents checked = ReadPng(DataFile(row.file), TBmpPixels::CheckedOnly);
    const bool indexed = !row.colours.empty();
    EXPECT_EQ(std::pair(read.header.width, read.header.height), std::pair(3, 2));
    EXPECT_EQ(read.header.bitCount, indexed ? 8 : 32);
    EXPECT_EQ(read.header.compression, indexed ? 0u : 3u);
    const auto masks = indexed ? std::array<std::uint32_t, 3>{}
                               : std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF};
    EXPECT_EQ((std::array{read.header.redMask, read.header.greenMask, read.header.blueMask}),
              masks);
    EXPECT_EQ(read.alphaMask, row.alphaMask);
    EXPECT_EQ(PixelsOf(read), row.pixels);
    EXPECT_EQ(read.colours, row.colours);
    EXPECT_EQ(read.colourAlpha, row.colourAlpha);
    EXPECT_EQ(checked.header, read.header);
    EXPECT_TRUE(checked.pixels.empty());
  }
}

TEST_F(PngReaderTest, BrokenFilesAreRefusedWithWhatIsWrong) {
  const std::string invalid = "The PNG file is not valid: ", cut = "The PNG file is cut short: ";
  // rgb8.png: IHDR at byte 8 (width at 16, height at 20, depth 24, colour type 25), IDAT of 19
  // bytes at 33 (type at 37, data at 41, its first block at 43), IEND at 64. indexed2.png's
  // PLTE is at 33, grey8_trns.png's tRNS of 2 bytes at 33.
  const struct {
    const char* file;
    std::size_t at;
    Bytes bytes; // written at `at`; none: the file is cut there
    std::string message;
    bool decoded = false; // refused only when the image data is decoded
  } rows[] = {
      {"rgb8.png", 1, {'p'}, "This is not a PNG file: it does not begin with the PNG signature"},
      {"rgb8.png", 70, {}, cut + "it ends before its IEND chunk"},
      {"rgb8.png", 62, {}, cut + "its IDAT chunk at byte 33 needs 23 bytes, 21 are left"}, // CRC
      {"rgb8.png", 16, {0, 1, 0, 0}, "Picture wider or taller than 65535 pixels"},
      {"rgb8.png",
       16,
       {0, 0, 0xFF, 0xFF, 0, 0, 0, 65}, // 1032 x 19 pixels and the margin, and more
       "The PNG file states 65535 x 65 pixels, more than its 19 bytes of image data can hold"},
      {"rgb8.png", 15, {'X'}, invalid + "its first chunk is IHDX, not IHDR"},
      {"indexed2.png", 24, {16}, invalid + "bit depth 16 is not one colour type 3 may have"},
      {"rgb8.png", 37, {'i'}, invalid + "it has no image data (IDAT chunk)"},
      {"indexed2.png", 37, {'p'}, invalid + "it is an indexed picture without a PLTE chunk"},
      {"grey8_trns.png", 25, {2}, invalid + "its tRNS chunk does not fit colour type 2"},
      {"rgb8.png", 41, {0}, "The PNG file's image data cannot be decoded: bad zlib header", true},
      {"rgb8.png", 43, {0xBE}, "The PNG file's image data cannot be decoded: it is corrupt", true},
  };
  for (const auto& row : rows)
    for (const TBmpPixels wanted : {TBmpPixels::AtPixelOffset, TBmpPixels::CheckedOnly}) {
      SCOPED_TRACE(row.message);
      Bytes file = DataFile(row.file);
      if (row.bytes.empty())
        file.resize(row.at);
      std::copy(row.bytes.begin(), row.bytes.end(), file.begin() + std::ptrdiff_t(row.at));
      if (row.decoded && wanted == TBmpPixels::CheckedOnly)
        EXPECT_NO_THROW(ReadPng(file, wanted));
      else
        EXPECT_THROW_MSG(ReadPng(file, wanted), EInvalidGraphic, row.message);
    }
}

} // namespace
} // namespace vex
