// The conversion of raw image members: exact file bytes, the template's one-time load, and the
// refusals that come before any output file exists.
#include "archive_builder.h"
#include "bmp_builder.h"
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "pixel_format_assertion.h"
#include "platform_errors.h"
#include "png_reader.h"
#include "raw_image.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <typeinfo>

namespace fs = std::filesystem;
using namespace vex;
using namespace vextest;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A raw member of width × height noise pixels, top row first.
TByteDynArray RawMember(std::uint16_t width, std::uint16_t height, std::uint32_t seed = 0) {
  return vextools::RawImage(width, height, vextools::Noise(std::size_t{width} * height, seed));
}

class ConvertRawImageTest : public TempFolderTest {
protected:
  // A converter that has read no template yet.
  TRawImageConverter NewConverter(TPictureFile file = TPictureFile::Bitmap) const {
    return TRawImageConverter(FolderString() + "TivPalette.bmp", file);
  }
  void WriteTemplate(const TemplateLayout& t) {
    WriteWholeFile(Folder() / "TivPalette.bmp", TemplateFile(t));
  }
  std::string Out(const char* name) const { return (Folder() / name).string(); }
  static std::vector<std::uint8_t> Expected(const TemplateLayout& t, const TByteDynArray& member) {
    const auto width = static_cast<std::uint16_t>(FieldAt(&member[2], 2));
    const auto height = static_cast<std::uint16_t>(FieldAt(&member[4], 2));
    return ExpectedBitmapFile(t, width, height, &member[6]);
  }
};

// The copy from the member into the bitmap, picture after picture with one converter: row
// order, widths that need padding, a large picture then a small one, a tall one then a wide
// one (never held at the width of one and the height of the other, which no store could hold),
// and a template of fewer colours, whose table the file fills up with black.
TEST_F(ConvertRawImageTest, WritesExactBytesForInfoAndCoreTemplates) {
  const std::pair<std::uint16_t, std::uint16_t> sizes[] = {
      {1, 1},  {3, 2},     {4, 3},   {5, 7},     {6, 1},
      {13, 9}, {320, 200}, {16, 16}, {1, 65535}, {65535, 1}};
  for (const TemplateLayout& t :
       {TemplateLayout(), TemplateLayout().Header(12), TemplateLayout().Colours(252)}) {
    SCOPED_TRACE(testing::Message() << t.headerSize << "-byte header, " << t.colours.size());
    TRawImageConverter converter = NewConverter();
    WriteTemplate(t);
    std::uint32_t seed = 0;
    for (const auto& [width, height] : sizes) {
      SCOPED_TRACE(testing::Message() << width << " x " << height);
      const TByteDynArray member = RawMember(width, height, ++seed);
      converter.ConvertRawImage(member, Out("x.bmp"));
      EXPECT_EQ(ReadWholeFile(Out("x.bmp")), Expected(t, member));
    }
  }
}

TEST_F(ConvertRawImageTest, OnlyTheDeclaredPixelsMatter) {
  WriteTemplate({});
  TRawImageConverter converter = NewConverter();
  const TByteDynArray exact = RawMember(5, 3);
  TByteDynArray longer = exact; // another tag, and trailing bytes
  longer[0] = 0x5A, longer[1] = 0xA5;
  longer.insert(longer.end(), 1000, 0xAB);
  converter.ConvertRawImage(exact, Out("a.bmp"));
  converter.ConvertRawImage(longer, Out("b.bmp"));
  EXPECT_EQ(ReadWholeFile(Out("a.bmp")), Expected({}, exact));
  EXPECT_EQ(ReadWholeFile(Out("b.bmp")), ReadWholeFile(Out("a.bmp")));
  // A picture of no width or no height is an empty file, whatever bytes follow the head.
  TByteDynArray noHeight = RawMember(9, 0);
  noHeight.insert(noHeight.end(), 3, 0xAB);
  for (const TByteDynArray& empty : {RawMember(0, 9), noHeight, RawMember(0, 0)}) {
    converter.ConvertRawImage(empty, Out("e.bmp"));
    EXPECT_TRUE(fs::exists(Out("e.bmp")));
    EXPECT_EQ(fs::file_size(Out("e.bmp")), 0u);
  }
}

TEST_F(ConvertRawImageTest, TheTemplateIsReadOnceAtTheFirstPicture) {
  TRawImageConverter converter = NewConverter();
  EXPECT_FALSE(converter.Template());
  WriteTemplate({});
  converter.ConvertRawImage(RawMember(2, 2), Out("first.bmp"));
  fs::remove(Folder() / "TivPalette.bmp");
  const TByteDynArray member = RawMember(7, 3, 1);
  converter.ConvertRawImage(member, Out("second.bmp"));
  EXPECT_EQ(ReadWholeFile(Out("second.bmp")), Expected({}, member));
}

// Without the program's own folder the template is looked for nowhere.
TEST_F(ConvertRawImageTest, WithoutTheProgramsFolderNoTemplateIsLookedFor) {
  TRawImageConverter converter(PaletteTemplatePath(""));
  EXPECT_THROW_MSG(converter.ConvertRawImage(RawMember(3, 2), Out("out.bmp")), Exception,
                   "Cannot find the folder of the running program, where TivPalette.bmp is "
                   "looked for");
  EXPECT_FALSE(fs::exists(Out("out.bmp")));
}

TEST_F(ConvertRawImageTest, ShortMembersAreRefusedBeforeTheirFileExists) {
  WriteTemplate({});
  TRawImageConverter converter = NewConverter();
  TByteDynArray cut = RawMember(5, 3);
  cut.pop_back();
  for (const TByteDynArray& member : {TByteDynArray{}, TByteDynArray{0, 0, 1, 0, 1}, cut}) {
    SCOPED_TRACE(member.size());
    EXPECT_THROW_MSG(converter.ConvertRawImage(member, Out("short.bmp")), EReadError,
                     "Stream read error");
    EXPECT_FALSE(fs::exists(Out("short.bmp")));
  }
}

// A template is judged in steps: its file at the first picture, before the member's length;
// after the length, its depth for every picture, empty ones too; what only pixels need (a
// format the copy knows, or names as deeper) for pictures with pixels alone, so an empty
// picture still gets its empty file.
TEST_F(ConvertRawImageTest, UnusableTemplatesFailBeforeTheOutputFile) {
  enum TStep { AtRead, ForEveryPicture, ForPixels };
  struct TFailure {
    const std::type_info& type;
    std::string message;
  };
  const TFailure assertion{typeid(EAssertionFailed), PixelFormatAssertion};
  const TFailure deeper{typeid(EInvalidGraphic), "Palette template is not an 8-bit bitmap"};
  const TFailure noFile{typeid(EFOpenError), "Cannot open file \"" + FolderString() +
                                                 "TivPalette.bmp\". " +
                                                 vextest::OsText(vextest::NoSuchFile)};
  const TFailure invalid{typeid(EInvalidGraphic), "Bitmap image is not valid"};
  const auto bits = [](std::uint16_t count, std::uint32_t compression = 0) {
    return std::optional<Bytes>(TemplateFile(TemplateLayout().Bits(count, compression)));
  };
  const auto masks = [](std::uint16_t count, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return std::optional<Bytes>(TemplateFile(TemplateLayout().Bits(count).Masks(r, g, b)));
  };
  const Bytes notBm = {'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const struct {
    const char* what;
    std::optional<Bytes> file; // none: no template at all
    TStep step;
    const TFailure& failure;
  } rows[] = {
      {"missing", std::nullopt, AtRead, noFile},
      {"24-bit", bits(24), ForEveryPicture, deeper},
      {"16-bit", bits(16), ForEveryPicture, deeper},
      {"16-bit 5-6-5 masks", masks(16, 0xF800, 0x7E0, 0x1F), ForEveryPicture, deeper},
      // Masks that only the copy names: deeper for a picture with pixels, unnamed without.
      {"16-bit 5-5-5 masks", masks(16, 0x7C00, 0x3E0, 0x1F), ForPixels, deeper},
      {"32-bit 8-8-8 masks", masks(32, 0xFF0000, 0xFF00, 0xFF), ForPixels, deeper},
      // Masks of no layout the copy knows: not refused as deeper, but as unknown.
      {"16-bit 4-4-4 masks", masks(16, 0xF00, 0xF0, 0xF), ForPixels, assertion},
      {"32-bit masks, blue high", masks(32, 0xFF, 0xFF00, 0xFF0000), ForPixels, assertion},
      {"1-bit", bits(1), ForPixels, assertion},
      {"4-bit", bits(4), ForPixels, assertion},
      {"RLE8", bits(8, 1), ForPixels, assertion},
      {"empty file", Bytes{}, ForPixels, assertion},
      {"not BM", notBm, AtRead, invalid},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove(Folder() / "TivPalette.bmp");
    fs::remove(Out("out.bmp"));
    if (row.file)
      vextest::WriteWholeFile(Folder() / "TivPalette.bmp", *row.file);
    TRawImageConverter converter = NewConverter();
    const auto convert = [&](const TByteDynArray& member) {
      converter.ConvertRawImage(member, Out("out.bmp"));
    };
    const auto raises = [&](const std::function<void()>& action) {
      vextest::ExpectRaised(action, row.failure.type, row.failure.message);
    };
    raises([&] { convert(RawMember(3, 2)); });
    EXPECT_FALSE(fs::exists(Out("out.bmp")));
    // A PNG file is refused alike.
    TRawImageConverter png = NewConverter(TPictureFile::Png);
    raises([&] { png.ConvertRawImage(RawMember(3, 2), Out("out.png")); });
    EXPECT_FALSE(fs::exists(Out("out.png")));
    if (row.step == AtRead)
      raises([&] { convert({0, 0, 1}); });
    else
      EXPECT_THROW_MSG(convert({0, 0, 1}), EReadError, "Stream read error");
    for (const TByteDynArray& empty : {RawMember(0, 3), RawMember(3, 0)}) {
      fs::remove(Out("out.bmp"));
      if (row.step == ForPixels) {
        convert(empty);
        EXPECT_EQ(ReadWholeFile(Out("out.bmp")), std::vector<std::uint8_t>{});
      } else {
        raises([&] { convert(empty); });
        EXPECT_FALSE(fs::exists(Out("out.bmp")));
      }
    }
    if (row.step == AtRead)
      continue;
    // The same judgement without a conversion, as vexagg's picture reader asks for it.
    const auto format = TPaletteTemplate::Read(FolderString() + "TivPalette.bmp");
    raises([&] { format.CheckConvertible(false); });
    if (row.step == ForEveryPicture)
      raises([&] { format.CheckConvertible(true); });
  }
}

// PNG files: the table's colours, then black, as palette (a table of 252 colours has 4 more);
// the indices as they stand; never more than the disk check counts. Read back by the PNG
// reader that update uses; Pillow and ImageMagick open them in the editing-loop test.
TEST_F(ConvertRawImageTest, WritesIndexedPngFilesOfTheTemplatesColours) {
  const std::pair<std::uint16_t, std::uint16_t> sizes[] = {{1, 1}, {3, 2}, {13, 9}, {320, 200}};
  for (const TemplateLayout& t : {TemplateLayout(), TemplateLayout().Colours(252)}) {
    SCOPED_TRACE(t.colours.size());
    WriteTemplate(t);
    TRawImageConverter converter = NewConverter(TPictureFile::Png);
    std::vector<TPaletteEntry> palette = t.colours;
    palette.resize(256, TPaletteEntry{});
    std::uint32_t seed = 0;
    for (const auto& [width, height] : sizes) {
      SCOPED_TRACE(testing::Message() << width << " x " << height);
      const TByteDynArray member = RawMember(width, height, ++seed);
      converter.ConvertRawImage(member, Out("x.png"));
      const TBmpFileContents png = ReadPngFile(
          TFile::OpenOrRaise(Out("x.png"), TOpenMode::ReadShareRead), TBmpPixels::AtPixelOffset);
      EXPECT_EQ(png.header.bitCount, 8);
      EXPECT_TRUE(png.colours == palette);
      EXPECT_TRUE(png.colourAlpha.empty());
      for (std::size_t y = 0; y < height; ++y) // rows bottom-up, as a bitmap stores them
        EXPECT_TRUE(std::equal(&member[6 + y * width], &member[6 + (y + 1) * width],
                               &png.pixels[(height - 1 - y) * std::size_t(png.geometry.stride)]))
            << y;
      EXPECT_LE(fs::file_size(Out("x.png")),
                WrittenPictureSize(*ParseRawPictureHead(member.data(), member.size()),
                                   TPictureFile::Png));
    }
    converter.ConvertRawImage(RawMember(0, 9), Out("e.png")); // an empty file, as for bitmaps
    EXPECT_EQ(ReadWholeFile(Out("e.png")), Bytes{});
  }
}

// What the disk check counts for a picture, worked out by hand: a bitmap file's 14 + 40 header
// bytes, 256 colours of 4 and rows padded to 4 bytes; nothing without pixels; the most a 3 x 2
// PNG file takes: signature 8, IHDR 12 + 13, PLTE 12 + 768, IDAT 12 + zlib's 2 + 4 and one
// stored block of 5 + 8, IEND 12.
TEST(WrittenPictureSize, CountsPaddedRowsAndNothingForAnEmptyPicture) {
  const std::tuple<std::uint16_t, std::uint16_t, TPictureFile, std::uint64_t> rows[] = {
      {4, 2, TPictureFile::Bitmap, 1078 + 4 * 2},
      {5, 3, TPictureFile::Bitmap, 1078 + 8 * 3},
      {0, 9, TPictureFile::Bitmap, 0},
      {7, 0, TPictureFile::Png, 0},
      {3, 2, TPictureFile::Png, 856}};
  for (const auto& [width, height, file, size] : rows) {
    TRawPictureHead head;
    head.width = width, head.height = height;
    EXPECT_EQ(WrittenPictureSize(head, file), size) << width << " x " << height;
  }
}

} // namespace
