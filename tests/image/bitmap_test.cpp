// Tests of TBitmap: the bytes of written files, reading templates, rebuilding, rows and every
// failure. Expected files are built here field by field, never with the production writer.
#include "bitmap.h"
#include "exceptions.h"
#include "little_endian.h"
#include "palette_template.h"
#include "vex_graphics.h"

#include "bmp_builder.h"
#include "expect_throw_msg.h"
#include "platform_errors.h"
#include "template_folder_test.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <filesystem>
#include <functional>
#include <limits>
#include <tuple>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace vex {
namespace {

using vextest::ByteBuilder;
using vextest::ColourOf;
using vextest::ExpectedBitmapFileOf;
using vextest::ExpectRaised;
using vextest::ReadWholeFile;
using vextest::StrideOf;
using vextest::TemplateFile;
using vextest::TemplateLayout;
using vextest::TemplatePixel;
using vextest::WriteWholeFile;

// The picture the tests draw (y counted from the top): neither row nor column symmetric.
std::uint8_t Pattern(int x, int y) {
  return static_cast<std::uint8_t>(y * 16 + x * 3 + 1);
}

// The file a w × h image drawn with `pixel` must give with the default template's colours,
// header style and resolution.
std::vector<std::uint8_t> Golden(int w, int h,
                                 const std::function<std::uint8_t(int, int)>& pixel = Pattern) {
  return ExpectedBitmapFileOf(TemplateLayout(), w, h, pixel);
}

// Rebuilds `bitmap` at w × h in its own format, as the conversion rebuilds its bitmap in the
// template's.
void Remake(TBitmap& bitmap, int w, int h) {
  bitmap.Rebuild(TPaletteTemplate(bitmap), w, h);
}

// The conversion's sequence: rebuild the image at w × h, draw through the rows.
void Redraw(TBitmap& bitmap, int w, int h) {
  Remake(bitmap, w, h);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = bitmap.RowAddress(y);
    for (int x = 0; x < w; ++x)
      row[x] = Pattern(x, y);
  }
}

// What a caller can see of a bitmap, to tell whether a failure changed it.
auto SnapshotOf(const TBitmap& b) {
  return std::make_tuple(b.Width(), b.Height(), b.HeldHeader(), b.Palette(), b.CoreHeaderStyle(),
                         b.IsDeviceDependent(), b.Description());
}

class BitmapTest : public vextest::TemplateFolderTest {
protected:
  // Reads `t`, redraws at w × h and returns the written file.
  std::vector<std::uint8_t> Convert(const TemplateLayout& t, int w, int h) {
    TBitmap bitmap = Read(t);
    Redraw(bitmap, w, h);
    bitmap.WriteBitmapFile(Path("out.bmp"));
    return ReadWholeFile(Path("out.bmp"));
  }
};

TEST_F(BitmapTest, WritesInfoAndCoreStylesByteForByte) {
  struct Row {
    int w, h;
    bool core;
    std::size_t expectedSize; // from the published layout, independent of the builder
  } rows[] = {
      {1, 1, false, 1082}, {3, 2, false, 1086},     {4, 2, false, 1086}, {5, 3, false, 1102},
      {6, 2, false, 1094}, {1, 1, true, 798},       {4, 2, true, 802},   {5, 3, true, 818},
      {6, 2, true, 810},   {65535, 1, true, 66330},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.w << " x " << row.h << (row.core ? " core" : " info"));
    const TemplateLayout t = TemplateLayout().Header(row.core ? 12 : 40);
    const auto written = Convert(t, row.w, row.h);
    EXPECT_EQ(written.size(), row.expectedSize);
    EXPECT_EQ(written, ExpectedBitmapFileOf(t, row.w, row.h, Pattern));
  }
}

// Everything of the template but its format, colours and resolution is left behind.
TEST_F(BitmapTest, TemplatesOfOneFormatGiveTheSameFile) {
  struct Row {
    const char* name;
    std::function<void(TemplateLayout&)> change;
  } rows[] = {
      {"640 x 480", [](TemplateLayout& t) { t.Size(640, 480); }},
      {"colours used 0", [](TemplateLayout& t) { t.coloursUsed = 0; }},
      {"pixel-offset gap", [](TemplateLayout& t) { t.gap = 100; }},
      {"no pixel bytes", [](TemplateLayout& t) { t.pixels = false; }},
      {"top-down", [](TemplateLayout& t) { t.height = -7; }},
      {"108-byte header", [](TemplateLayout& t) { t.Header(108); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TemplateLayout t;
    row.change(t);
    EXPECT_EQ(Convert(t, 5, 3), Golden(5, 3));
  }
}

// Pixels may use any index their bits hold, so written tables have an entry for each, black
// past the template's colours, and colours used counts them all.
TEST_F(BitmapTest, TablesOfFewerColoursAreFilledToEveryIndex) {
  struct Row {
    TemplateLayout t;
    std::uint32_t entries; // in the written table
  } rows[] = {
      {TemplateLayout().Colours(1), 256},
      {TemplateLayout().Bits(4).Colours(5), 16},
      {TemplateLayout().Bits(1).Colours(1), 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.t.bitCount << " bits, " << row.t.colours.size());
    TBitmap bitmap = Read(row.t);
    bitmap.WriteBitmapFile(Path("out.bmp"));
    const auto file = ReadWholeFile(Path("out.bmp"));
    const std::uint32_t offset = 54 + 4 * row.entries;
    ASSERT_EQ(file.size(), offset + StrideOf(5, row.t.bitCount) * 3);
    EXPECT_EQ(GetU32(&file[10]), offset);      // pixel offset
    EXPECT_EQ(GetU32(&file[46]), row.entries); // colours used
    for (std::uint32_t i = 0; i < row.entries; ++i) {
      const TPaletteEntry c = i < row.t.colours.size() ? ColourOf(i) : TPaletteEntry{};
      const std::array<std::uint8_t, 4> entry{file[54 + 4 * i], file[55 + 4 * i], file[56 + 4 * i],
                                              file[57 + 4 * i]};
      EXPECT_EQ(entry, (std::array<std::uint8_t, 4>{c.blue, c.green, c.red, 0})) << i;
    }
    EXPECT_EQ(bitmap.HeldHeader().coloursUsed, row.entries);
  }
  const TemplateLayout t = TemplateLayout().Colours(252);
  EXPECT_EQ(Convert(t, 6, 2), ExpectedBitmapFileOf(t, 6, 2, Pattern));
}

TEST_F(BitmapTest, WritingReplacesALongerFileCompletely) {
  WriteWholeFile(Path("out.bmp"), std::vector<std::uint8_t>(5000, 0x77));
  EXPECT_EQ(Convert({}, 5, 3), Golden(5, 3));

  TBitmap bitmap = Read({});
  for (const auto& size : {std::pair{0, 3}, std::pair{5, 0}}) {
    SCOPED_TRACE(testing::Message() << size.first << " x " << size.second);
    WriteWholeFile(Path("empty.bmp"), std::vector<std::uint8_t>(100, 0x77));
    Remake(bitmap, size.first, size.second);
    bitmap.WriteBitmapFile(Path("empty.bmp"));
    EXPECT_TRUE(ReadWholeFile(Path("empty.bmp")).empty());
  }
}

// A rebuilt image is white with zero padding, whatever the bitmap held before: the template's
// own pixels never show. Below 8 bits only the picture's bits are white.
TEST_F(BitmapTest, RebuildMakesAWhitePictureWithZeroPadding) {
  struct Row {
    const char* name;
    std::uint16_t bitCount;
    std::int32_t newWidth;
    std::array<std::uint8_t, 4> whiteRow;
  } rows[] = {
      {"8-bit, 3 pixels", 8, 3, {0xFF, 0xFF, 0xFF, 0}},
      {"1-bit, 10 pixels", 1, 10, {0xFF, 0xC0, 0, 0}},  // 10 white bits, then padding
      {"4-bit, 5 pixels", 4, 5, {0xFF, 0xFF, 0xF0, 0}}, // 20 white bits, then padding
      {"4-bit, 1 pixel", 4, 1, {0xF0, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TBitmap bitmap = Read(TemplateLayout().Size(3, 2).Bits(row.bitCount));
    Remake(bitmap, row.newWidth, 3);
    for (int y = 0; y < 3; ++y) {
      const std::uint8_t* data = bitmap.RowAddress(y);
      EXPECT_EQ((std::array<std::uint8_t, 4>{data[0], data[1], data[2], data[3]}), row.whiteRow)
          << y;
    }
  }
}

// A template's own picture, as far as its file holds it, is what its rows show and what
// writing it gives, always bottom-up.
TEST_F(BitmapTest, TemplatePictureReachesRowsAndFile) {
  struct Row {
    const char* name;
    std::int32_t height;
    std::size_t cut; // bytes dropped from the end of the file
  } rows[] = {{"bottom-up", 3, 0},
              {"top-down", -3, 0},
              {"bottom-up, last row missing", 3, 8},
              {"top-down, last row half there", -3, 4}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto bytes = TemplateFile(TemplateLayout().Size(5, row.height));
    bytes.resize(bytes.size() - row.cut);
    WriteWholeFile(Path("t.bmp"), bytes);
    // Bytes lost at the end of the file are the last store rows: the picture's top rows when
    // bottom-up, its bottom rows when top-down. Rows are 8 bytes.
    const auto picture = [&](int x, int y) -> std::uint8_t {
      const int storeRow = row.height > 0 ? 2 - y : y;
      const bool lost = static_cast<std::size_t>(storeRow * 8 + x) >= 24 - row.cut;
      return lost ? 0 : TemplatePixel(x, y);
    };
    TBitmap bitmap;
    bitmap.ReadBitmapFile(Path("t.bmp"));
    bitmap.WriteBitmapFile(Path("direct.bmp"));
    EXPECT_EQ(ReadWholeFile(Path("direct.bmp")), Golden(5, 3, picture));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(bitmap.RowAddress(y)[x], picture(x, y)) << x << "," << y;
  }
}

// The held format knows 5-6-5 masks only; the format pixels are copied in also knows 5-5-5
// and the plain 8-8-8 of 32 bits.
TEST_F(BitmapTest, FormatsAndDescriptionsOfTemplates) {
  const auto small = [] { return TemplateLayout().Size(3, 2); };
  const auto usedUnsaid = [](TemplateLayout t) {
    t.coloursUsed = 0; // the full table of the bit count
    return t;
  };
  using F = PixelFormat;
  struct Row {
    const char* name;
    TemplateLayout t;
    PixelFormat format, effective;
    std::uint32_t stride; // 0: device-dependent, no description
    std::uint32_t entries;
  } rows[] = {
      {"1-bit", small().Bits(1), F::Bits1, F::Bits1, 4, 2},
      {"4-bit", usedUnsaid(small().Bits(4)), F::Bits4, F::Bits4, 4, 16},
      {"8-bit", usedUnsaid(small()), F::Bits8, F::Bits8, 4, 256},
      {"8-bit core", small().Header(12), F::Bits8, F::Bits8, 4, 256},
      {"8-bit top-down", small().Size(3, -2).Colours(200), F::Bits8, F::Bits8, 4, 200},
      {"16-bit", small().Bits(16), F::Bits15, F::Bits15, 8, 0},
      {"16-bit 5-6-5", small().Bits(16).Masks(0xF800, 0x7E0, 0x1F), F::Bits16, F::Bits16, 8, 0},
      {"16-bit 5-6-5, 108-byte header", small().Header(108).Bits(16).Masks(0xF800, 0x7E0, 0x1F),
       F::Bits16, F::Bits16, 8, 0},
      {"16-bit 5-5-5", small().Bits(16).Masks(0x7C00, 0x3E0, 0x1F), F::Custom, F::Bits15, 8, 0},
      {"16-bit 4-4-4", small().Bits(16).Masks(0xF00, 0xF0, 0xF), F::Custom, F::Custom, 8, 0},
      {"24-bit with colours", small().Bits(24).Colours(256), F::Bits24, F::Bits24, 12, 0},
      {"32-bit", small().Bits(32), F::Bits32, F::Bits32, 12, 0},
      {"32-bit 8-8-8 masks", small().Bits(32).Masks(0xFF0000, 0xFF00, 0xFF), F::Custom, F::Bits32,
       12, 0},
      {"32-bit masks, blue high", small().Bits(32).Masks(0xFF, 0xFF00, 0xFF0000), F::Custom,
       F::Custom, 12, 0},
      {"8-bit run-length", small().Bits(8, 1), F::Device, F::Device, 0, 256},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TBitmap bitmap = Read(row.t);
    EXPECT_EQ(bitmap.HeldPixelFormat(), row.format);
    EXPECT_EQ(EffectivePixelFormat(bitmap), row.effective);
    EXPECT_EQ(bitmap.IsDeviceDependent(), row.stride == 0);
    EXPECT_EQ(bitmap.CoreHeaderStyle(), row.t.headerSize == 12);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.Stride(), row.stride);
    EXPECT_EQ(bitmap.Palette().size(), row.entries);
    for (std::uint32_t i = 0; i < bitmap.Palette().size(); ++i)
      EXPECT_EQ(bitmap.Palette()[i], ColourOf(i)) << i;
    const auto description = bitmap.Description();
    ASSERT_EQ(description.has_value(), row.stride != 0);
    if (!description)
      continue;
    EXPECT_EQ(description->headerSize, 40u);
    EXPECT_EQ(description->height, row.t.height);
    EXPECT_EQ(description->bitCount, row.t.bitCount);
    EXPECT_EQ(description->compression, row.t.compression);
    EXPECT_EQ(description->imageSize, row.stride * 2);
    EXPECT_EQ(description->coloursUsed, row.entries);
    EXPECT_EQ(description->greenMask, row.t.compression == 3 ? row.t.masks[1] : 0);
    EXPECT_EQ(bitmap.HeldHeader().height, row.t.height);
    EXPECT_EQ(bitmap.HeldHeader().xResolution, row.t.headerSize == 12 ? 0 : 3780);
  }
}

TEST_F(BitmapTest, EmptyAndDeviceDependentBitmaps) {
  TBitmap fresh;
  EXPECT_EQ(fresh.HeldHeader(), TBitmapInfoHeader{});
  EXPECT_EQ(fresh.HeldPixelFormat(), PixelFormat::Device);
  Remake(fresh, 3, 2); // never held a device-independent image
  EXPECT_EQ(fresh.HeldPixelFormat(), PixelFormat::Device);
  EXPECT_FALSE(fresh.Description());

  TBitmap emptied = Read({});
  Remake(emptied, 5, 0);
  EXPECT_EQ(emptied.HeldPixelFormat(), PixelFormat::Bits8);
  EXPECT_FALSE(emptied.IsDeviceDependent());
  EXPECT_EQ(emptied.Width(), 5);
  EXPECT_EQ(emptied.Height(), 0);
  EXPECT_EQ(emptied.HeldHeader().xResolution, 3780);
  EXPECT_FALSE(emptied.Description());

  WriteWholeFile(Path("zero.bmp"), {});
  emptied.ReadBitmapFile(Path("zero.bmp"));
  EXPECT_EQ(emptied.HeldHeader(), TBitmapInfoHeader{});
  EXPECT_TRUE(emptied.Palette().empty());
  EXPECT_EQ(emptied.HeldPixelFormat(), PixelFormat::Device);

  TBitmap compressed = Read(TemplateLayout().Bits(8, 1));
  Remake(compressed, 4, 4);
  EXPECT_EQ(compressed.HeldPixelFormat(), PixelFormat::Device);
  ExpectRaised([&] { compressed.RowAddress(0); }, typeid(EInvalidGraphicOperation),
               "Scan line index out of range");
  ExpectRaised([&] { compressed.WriteBitmapFile(Path("ddb.bmp")); }, typeid(EInvalidGraphic),
               "Bitmap image is not valid");
  EXPECT_FALSE(std::filesystem::exists(Path("ddb.bmp")));
}

// Rows are marked modified on every request; writing sets colours used to the table's count.
TEST_F(BitmapTest, RowRequestsAndColoursUsed) {
  TBitmap bitmap = Read({});
  for (int row : {-1, 3, std::numeric_limits<int>::min()}) {
    SCOPED_TRACE(row);
    ExpectRaised([&] { bitmap.RowAddress(row); }, typeid(EInvalidGraphicOperation),
                 "Scan line index out of range");
  }
  EXPECT_EQ(bitmap.HeldHeader().coloursUsed, 0u);
  EXPECT_EQ(bitmap.HeldHeader().coloursImportant, 0u);
  bitmap.WriteBitmapFile(Path("out.bmp"));
  EXPECT_EQ(bitmap.HeldHeader().coloursUsed, 256u);
  Remake(bitmap, 0, 3);
  ExpectRaised([&] { bitmap.RowAddress(0); }, typeid(EInvalidGraphicOperation),
               "Scan line index out of range");
}

// Wider pixels: a 40-byte header followed by the masks, and no colour table.
TEST_F(BitmapTest, WritesBitFieldImagesWithTheirMasks) {
  TBitmap bitmap = Read(TemplateLayout().Size(9, 9).Bits(16).Masks(0xF800, 0x7E0, 0x1F));
  Remake(bitmap, 3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 6; ++x)
      bitmap.RowAddress(y)[x] = Pattern(x, y);
  bitmap.WriteBitmapFile(Path("out.bmp"));
  ByteBuilder b;
  b.Text("BM")                   // file type
      .U32(66 + 16)              // file size
      .U16(0)                    // reserved
      .U16(0)                    // reserved
      .U32(66)                   // pixel offset
      .U32(40)                   // header size
      .I32(3)                    // width
      .I32(2)                    // height
      .U16(1)                    // planes
      .U16(16)                   // bit count
      .U32(3)                    // compression
      .U32(16)                   // image size
      .I32(3780)                 // x resolution
      .I32(2835)                 // y resolution
      .U32(0)                    // colours used
      .U32(0)                    // colours important
      .U32(0xF800)               // red mask
      .U32(0x7E0)                // green mask
      .U32(0x1F);                // blue mask
  for (int y = 1; y >= 0; --y) { // pixel rows, bottom first, 2 padding bytes each
    for (int x = 0; x < 6; ++x)
      b.U8(Pattern(x, y));
    b.U16(0);
  }
  EXPECT_EQ(ReadWholeFile(Path("out.bmp")), b.Get());
}

// Each bad file raises its failure and leaves the bitmap holding the previous template.
TEST_F(BitmapTest, BadFilesAreRefusedAndChangeNothing) {
  const auto good = TemplateFile({});
  const auto patched = [&](std::size_t offset, std::uint32_t value, std::size_t width = 4) {
    return vextest::Patched(good, offset, value, width);
  };
  const auto cut = [](std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
  };
  const auto with = [](const std::function<void(TemplateLayout&)>& change) {
    TemplateLayout t;
    change(t);
    return TemplateFile(t);
  };
  const auto core = with([](TemplateLayout& t) { t.Header(12); });
  const auto masks = [](std::uint32_t headerSize) {
    TemplateLayout t = TemplateLayout().Header(headerSize).Bits(16);
    return TemplateFile(headerSize == 40 ? t.Masks(0xF800, 0x7E0, 0x1F) : t.Masks(0, 0, 0));
  };
  enum TFailure { Invalid, Short };
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    TFailure failure; // EInvalidGraphic "Bitmap image is not valid" or EReadError
  } rows[] = {
      {"shorter than the file header", cut(good, 13), Short},
      {"not BM", patched(0, 0x4142, 2), Invalid},
      {"a PNG file", patched(0, 0x474E5089), Invalid},
      {"ends before the header size", cut(good, 16), Short},
      {"ends inside the info header", cut(good, 14 + 30), Short},
      {"ends inside the core header", cut(core, 14 + 10), Short},
      {"ends inside a 124-byte header", cut(with([](TemplateLayout& t) { t.Header(124); }), 114),
       Short},
      {"header size 39", patched(14, 39), Invalid},
      {"planes 0", patched(26, 0, 2), Invalid},
      {"planes 2", patched(26, 2, 2), Invalid},
      {"core planes 2", with([](TemplateLayout& t) { t.Header(12).planes = 2; }), Invalid},
      {"ends inside the masks", cut(masks(40), 14 + 40 + 8), Short},
      {"masks cut by a 44-byte header", masks(44), Invalid},
      {"ends inside the colour table", cut(good, 54 + 4 * 255), Short},
      {"257 colours", patched(46, 257), Invalid},
      {"bit count 0", patched(28, 0, 2), Invalid},
      {"bit count 2", patched(28, 2, 2), Invalid},
      {"bit count 30000", patched(28, 30000, 2), Invalid},
      {"bit fields at 8 bits", patched(30, 3), Invalid},
      {"width 0", patched(18, 0), Invalid},
      {"height 0", patched(22, 0), Invalid},
      {"top-down run-length", with([](TemplateLayout& t) { t.Size(5, -3).Bits(8, 1); }), Invalid},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TBitmap bitmap = Read({});
    const auto before = SnapshotOf(bitmap);
    WriteWholeFile(Path("bad.bmp"), row.bytes);
    const bool read = row.failure == Short;
    ExpectRaised([&] { bitmap.ReadBitmapFile(Path("bad.bmp")); },
                 read ? typeid(EReadError) : typeid(EInvalidGraphic),
                 read ? "Stream read error" : "Bitmap image is not valid");
    EXPECT_TRUE(SnapshotOf(bitmap) == before);
    EXPECT_EQ(bitmap.RowAddress(0)[4], TemplatePixel(4, 0));
  }
}

TEST_F(BitmapTest, OpenCreateWriteAndRebuildFailures) {
  TBitmap bitmap;
  ExpectRaised([&] { bitmap.ReadBitmapFile(Path("missing.bmp")); }, typeid(EFOpenError),
               "Cannot open file \"" + Path("missing.bmp") + "\". " +
                   vextest::OsText(vextest::NoSuchFile));
  bitmap.ReadBitmapFile(WriteTemplate({}));
  const auto before = SnapshotOf(bitmap);
  for (const auto& size : {std::pair{-1, 3}, std::pair{5, -1}, std::pair{100000, 100000}}) {
    SCOPED_TRACE(testing::Message() << size.first << " x " << size.second);
    ExpectRaised([&] { Remake(bitmap, size.first, size.second); }, typeid(EOutOfResources),
                 "Out of system resources");
    EXPECT_TRUE(SnapshotOf(bitmap) == before);
  }
  // The folder is made; a file where it must go fails with the folder's error.
  vextest::WriteWholeFile(Path("no"), {1});
  const std::string underFile = (Folder() / "no" / "such" / "folder.bmp").string();
  ExpectRaised([&] { bitmap.WriteBitmapFile(underFile); }, typeid(EFCreateError),
               "Cannot create file \"" + underFile + "\". " +
                   vextest::OsText(vextest::AlreadyExists));
#ifndef _WIN32
  // A write that falls short, for real: no file of this process may grow at all for a moment
  // (SIGXFSZ ignored, so the write fails instead of ending the test). A device would not do:
  // an output file replaces whatever stands at its name.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit none = saved;
  none.rlim_cur = 0;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
  ExpectRaised([&] { bitmap.WriteBitmapFile(Path("limited.bmp")); }, typeid(EWriteError),
               "Stream write error");
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
#endif

  bitmap.ReadBitmapFile(WriteTemplate(TemplateLayout().Header(12)));
  Remake(bitmap, 70000, 1);
  ExpectRaised([&] { bitmap.WriteBitmapFile(Path("wide.bmp")); }, typeid(EInvalidGraphic),
               "Bitmap image is not valid");
  EXPECT_FALSE(std::filesystem::exists(Path("wide.bmp")));
}

} // namespace
} // namespace vex
