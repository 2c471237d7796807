// The conversion of raw image members: exact file bytes, the template's one-time load, and the
// refusals that come before any output file exists.
#include "archive_builder.h"
#include "bmp_builder.h"
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "pixel_format_assertion.h"
#include "platform_errors.h"
#include "raw_image.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
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

std::uint32_t BigEndianAt(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// CRC-32 bit by bit: the writer's is table-driven.
std::uint32_t BitwiseCrc(const std::uint8_t* p, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i)
    for (int bit = 0, b = p[i]; bit < 8; ++bit, b >>= 1)
      crc = ((crc ^ b) & 1) != 0 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
  return ~crc;
}

// The chunks of a PNG file, type then data, each CRC checked; the signature is checked too.
std::vector<std::pair<std::string, Bytes>> PngChunks(const Bytes& file) {
  const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_EQ(Bytes(file.begin(), file.begin() + std::min<std::size_t>(8, file.size())), signature);
  std::vector<std::pair<std::string, Bytes>> chunks;
  for (std::size_t at = 8; at < file.size();) {
    const std::size_t length = at + 12 <= file.size() ? BigEndianAt(&file[at]) : file.size();
    if (at + 12 + length > file.size()) {
      ADD_FAILURE() << "a chunk runs past the end at " << at;
      break;
    }
    const std::uint8_t* type = &file[at + 4];
    chunks.emplace_back(std::string(type, type + 4), Bytes(type + 4, type + 4 + length));
    EXPECT_EQ(BigEndianAt(type + 4 + length), BitwiseCrc(type, length + 4)) << chunks.back().first;
    at += 12 + length;
  }
  return chunks;
}

// PNG files: the table's colours, then black, as palette (a table of 252 colours has 4 more);
// the indices as they stand, in rows of filter type 0; never more than the disk check counts.
// stb_image's zlib decoder and PNG decoder read them, not the writer's code.
TEST_F(ConvertRawImageTest, WritesIndexedPngFilesOfTheTemplatesColours) {
  const std::pair<std::uint16_t, std::uint16_t> sizes[] = {{1, 1}, {3, 2}, {13, 9}, {320, 200}};
  for (const TemplateLayout& t : {TemplateLayout(), TemplateLayout().Colours(252)}) {
    SCOPED_TRACE(t.colours.size());
    WriteTemplate(t);
    TRawImageConverter converter = NewConverter(TPictureFile::Png);
    Bytes palette;
    for (std::size_t i = 0; i < 256; ++i) {
      const TPaletteEntry c = i < t.colours.size() ? t.colours[i] : TPaletteEntry{};
      palette.insert(palette.end(), {c.red, c.green, c.blue});
    }
    std::uint32_t seed = 0;
    for (const auto& [width, height] : sizes) {
      SCOPED_TRACE(testing::Message() << width << " x " << height);
      const TByteDynArray member = RawMember(width, height, ++seed);
      converter.ConvertRawImage(member, Out("x.png"));
      const Bytes file = ReadWholeFile(Out("x.png"));
      const auto chunks = PngChunks(file);
      ASSERT_EQ(chunks.size(), 4u);
      const auto byte = [](unsigned v) { return static_cast<std::uint8_t>(v); };
      // width, height, bit depth 8, colour type 3 (indexed), methods of compression, filter
      // and interlace 0
      const Bytes header = {
          0, 0, byte(width >> 8), byte(width), 0, 0, byte(height >> 8), byte(height), 8, 3, 0,
          0, 0};
      EXPECT_EQ(chunks[0], std::make_pair(std::string("IHDR"), header));
      EXPECT_EQ(chunks[1], std::make_pair(std::string("PLTE"), palette));
      EXPECT_EQ(chunks[2].first, "IDAT");
      EXPECT_EQ(chunks[3], std::make_pair(std::string("IEND"), Bytes{}));
      Bytes rows;
      for (std::size_t y = 0; y < height; ++y) {
        rows.push_back(0); // filter type: none
        rows.insert(rows.end(), &member[6 + y * width], &member[6 + (y + 1) * width]);
      }
      int inflatedSize = 0;
      char* inflated =
          stbi_zlib_decode_malloc(reinterpret_cast<const char*>(chunks[2].second.data()),
                                  static_cast<int>(chunks[2].second.size()), &inflatedSize);
      ASSERT_NE(inflated, nullptr);
      EXPECT_EQ(Bytes(inflated, inflated + inflatedSize), rows);
      stbi_image_free(inflated);
      int w = 0, h = 0, channels = 0;
      stbi_uc* rgb =
          stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &channels, 3);
      ASSERT_NE(rgb, nullptr);
      EXPECT_EQ(std::make_pair(w, h), std::make_pair(int{width}, int{height}));
      for (std::size_t i = 0; i < std::size_t{width} * height; ++i)
        ASSERT_TRUE(std::equal(rgb + 3 * i, rgb + 3 * i + 3, &palette[3 * member[6 + i]])) << i;
      stbi_image_free(rgb);
      EXPECT_LE(file.size(), WrittenPictureSize(*ParseRawPictureHead(member.data(), member.size()),
                                                TPictureFile::Png));
    }
    converter.ConvertRawImage(RawMember(0, 9), Out("e.png")); // an empty file, as for bitmaps
    EXPECT_EQ(ReadWholeFile(Out("e.png")), Bytes{});
  }
  // The CRC every PNG file ends with, as the test's CRC gives it.
  EXPECT_EQ(BitwiseCrc(reinterpret_cast<const std::uint8_t*>("IEND"), 4), 0xAE426082u);
  // The most a 3 x 2 file takes: signature 8, IHDR 12 + 13, PLTE 12 + 768, IDAT 12 + zlib's
  // 2 + 4 and one stored block of 5 + 8, IEND 12.
  const TByteDynArray small = RawMember(3, 2);
  EXPECT_EQ(WrittenPictureSize(*ParseRawPictureHead(small.data(), small.size()), TPictureFile::Png),
            856u);
}

} // namespace
