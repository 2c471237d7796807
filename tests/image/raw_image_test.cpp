// The conversion of raw image members: exact file bytes, the template's one-time load, and the
// refusals that come before any output file exists.
#include "bmp_builder.h"
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "little_endian.h"
#include "platform_errors.h"
#include "raw_image.h"
#include "source_line.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <typeinfo>

namespace fs = std::filesystem;
using namespace vex;
using vextest::ExpectedBitmapFile;
using vextest::ReadWholeFile;
using vextest::TemplateFile;
using vextest::TemplateLayout;

namespace {

// A raw member: two tag bytes, width, height, then the pixels (top row first) and `extra`
// trailing bytes.
TByteDynArray RawMember(std::uint16_t width, std::uint16_t height, std::uint8_t tag = 0,
                        std::size_t extra = 0) {
  vextest::ByteBuilder b;
  b.U8(tag).U8(static_cast<std::uint8_t>(tag * 3)); // not read
  b.U16(width).U16(height);
  for (std::size_t i = 0; i < std::size_t{width} * height; ++i)
    b.U8(static_cast<std::uint8_t>(i * 37 + i / width)); // neither symmetric nor periodic
  b.Repeat(0xAB, extra);
  return b.Get();
}

class ConvertRawImageTest : public vextest::TempFolderTest {
protected:
  // A converter that has read no template yet.
  TRawImageConverter NewConverter() const {
    return TRawImageConverter(FolderString() + PaletteTemplateName);
  }
  void WriteTemplate(const TemplateLayout& t) {
    vextest::WriteWholeFile(Folder() / PaletteTemplateName, TemplateFile(t));
  }
  std::string Out(const char* name) const { return (Folder() / name).string(); }
  static std::vector<std::uint8_t> Expected(const TemplateLayout& t, const TByteDynArray& member) {
    return ExpectedBitmapFile(t, GetU16(&member[2]), GetU16(&member[4]), member.data() + 6);
  }
};

TEST_F(ConvertRawImageTest, WritesExactBytesForInfoAndCoreTemplates) {
  TemplateLayout info;
  TemplateLayout core;
  core.core = true;
  TemplateLayout small; // fewer colours: the rest of the table is black
  small.colours = vextest::TestColours(252);
  small.coloursUsed = 252;
  for (const TemplateLayout* t : {&info, &core, &small}) {
    SCOPED_TRACE(t->core ? "core" : std::to_string(t->colours.size()));
    TRawImageConverter converter = NewConverter();
    WriteTemplate(*t);
    for (const auto& size : {std::pair<int, int>{1, 1}, {3, 2}, {4, 3}, {5, 7}, {6, 1}, {13, 9}}) {
      const TByteDynArray member = RawMember(static_cast<std::uint16_t>(size.first),
                                             static_cast<std::uint16_t>(size.second));
      converter.ConvertRawImage(member, Out("x.bmp"));
      EXPECT_EQ(ReadWholeFile(Out("x.bmp")), Expected(*t, member))
          << size.first << " x " << size.second;
    }
  }
}

TEST_F(ConvertRawImageTest, OnlyTheDeclaredPixelsMatter) {
  WriteTemplate({});
  TRawImageConverter converter = NewConverter();
  const TByteDynArray exact = RawMember(5, 3, 0);
  const TByteDynArray longer = RawMember(5, 3, 0x5A, 1000); // other tag, trailing bytes
  converter.ConvertRawImage(exact, Out("a.bmp"));
  converter.ConvertRawImage(longer, Out("b.bmp"));
  EXPECT_EQ(ReadWholeFile(Out("a.bmp")), Expected({}, exact));
  EXPECT_EQ(ReadWholeFile(Out("b.bmp")), ReadWholeFile(Out("a.bmp")));
  // A picture of no width or no height is an empty file, whatever bytes follow the head.
  for (const TByteDynArray& empty : {RawMember(0, 9), RawMember(9, 0, 1, 3), RawMember(0, 0)}) {
    converter.ConvertRawImage(empty, Out("e.bmp"));
    EXPECT_TRUE(fs::exists(Out("e.bmp")));
    EXPECT_EQ(fs::file_size(Out("e.bmp")), 0u);
  }
}

TEST_F(ConvertRawImageTest, ALargePictureLeavesNothingInTheNextOne) {
  WriteTemplate({});
  TRawImageConverter converter = NewConverter();
  const TByteDynArray large = RawMember(320, 200);
  const TByteDynArray small = RawMember(16, 16, 7);
  converter.ConvertRawImage(large, Out("large.bmp"));
  converter.ConvertRawImage(small, Out("small.bmp"));
  converter.ConvertRawImage(large, Out("again.bmp"));
  EXPECT_EQ(ReadWholeFile(Out("large.bmp")), Expected({}, large));
  EXPECT_EQ(ReadWholeFile(Out("small.bmp")), Expected({}, small));
  EXPECT_EQ(ReadWholeFile(Out("again.bmp")), Expected({}, large));
}

TEST_F(ConvertRawImageTest, TheTemplateIsReadOnceAtTheFirstPicture) {
  TRawImageConverter converter = NewConverter();
  EXPECT_FALSE(converter.Bitmap());
  WriteTemplate({});
  converter.ConvertRawImage(RawMember(2, 2), Out("first.bmp"));
  fs::remove(Folder() / PaletteTemplateName);
  const TByteDynArray member = RawMember(7, 3, 1);
  converter.ConvertRawImage(member, Out("second.bmp"));
  EXPECT_EQ(ReadWholeFile(Out("second.bmp")), Expected({}, member));
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

TEST_F(ConvertRawImageTest, UnusableTemplatesFailBeforeTheOutputFile) {
  const std::string assertion = vextest::PixelFormatAssertion();
  auto layout = [](std::uint16_t bits, std::uint32_t compression,
                   std::array<std::uint32_t, 3> masks = {}) {
    TemplateLayout t;
    t.bitCount = bits;
    t.compression = compression;
    t.colours = vextest::TestColours(bits <= 8 ? 1u << bits : 0);
    std::copy(masks.begin(), masks.end(), t.masks);
    return t;
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> file; // empty with `missing`: no template at all
    bool missing;
    const std::type_info& type;
    std::string message;
  } rows[] = {
      {"missing",
       {},
       true,
       typeid(EFOpenError),
       "Cannot open file \"" + FolderString() + "TivPalette.bmp\". " +
           vextest::OsText(vextest::NoSuchFile)},
      {"24-bit", TemplateFile(layout(24, 0)), false, typeid(EInvalidGraphic),
       "Palette template is not an 8-bit bitmap"},
      {"16-bit", TemplateFile(layout(16, 0)), false, typeid(EInvalidGraphic),
       "Palette template is not an 8-bit bitmap"},
      // Masks of no layout the copy knows: not refused as deeper, but as unknown.
      {"16-bit 4-4-4 masks", TemplateFile(layout(16, 3, {0xF00, 0xF0, 0xF})), false,
       typeid(EAssertionFailed), assertion},
      {"32-bit masks, blue high", TemplateFile(layout(32, 3, {0xFF, 0xFF00, 0xFF0000})), false,
       typeid(EAssertionFailed), assertion},
      {"1-bit", TemplateFile(layout(1, 0)), false, typeid(EAssertionFailed), assertion},
      {"4-bit", TemplateFile(layout(4, 0)), false, typeid(EAssertionFailed), assertion},
      {"RLE8", TemplateFile(layout(8, 1)), false, typeid(EAssertionFailed), assertion},
      {"empty file", {}, false, typeid(EAssertionFailed), assertion},
      {"not BM",
       {'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       false,
       typeid(EInvalidGraphic),
       "Bitmap image is not valid"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    TRawImageConverter converter = NewConverter();
    fs::remove(Folder() / PaletteTemplateName);
    if (!row.missing)
      vextest::WriteWholeFile(Folder() / PaletteTemplateName, row.file);
    try {
      converter.ConvertRawImage(RawMember(3, 2), Out("out.bmp"));
      ADD_FAILURE() << "converted";
    } catch (const Exception& e) {
      EXPECT_EQ(typeid(e).name(), std::string(row.type.name()));
      EXPECT_EQ(e.Message(), row.message);
    }
    EXPECT_FALSE(fs::exists(Out("out.bmp")));
  }
}

} // namespace
