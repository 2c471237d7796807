// Palettes read from every format users keep them in, the refusals that say what is wrong, and
// the palette template made from one.
#include "palette_file.h"

#include "exceptions.h"
#include "expect_throw_msg.h"
#include "palette_template.h"
#include "template_folder_test.h"

#include <gtest/gtest.h>

namespace vex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using vextest::ByteBuilder;
using vextest::TemplateLayout;

// A raw table: the colours given, then (1, 2, 3) up to 256; with `counted` the 772-byte form.
Bytes Raw(std::vector<TPaletteEntry> colours, std::uint16_t count = 0, bool counted = false) {
  colours.resize(256, {1, 2, 3, 0});
  ByteBuilder b;
  for (const TPaletteEntry& c : colours)
    b.U8(c.red).U8(c.green).U8(c.blue);
  if (counted)
    b.U8(std::uint8_t(count >> 8)).U8(std::uint8_t(count)).U16(0xFFFF); // count, transparent
  return b.Get();
}
Bytes Text(const std::string& text) {
  return ByteBuilder().Text(text).Get();
}

const Bytes Bitmap8 = vextest::TemplateFile(TemplateLayout());
const Bytes SixBitRaw = Raw({{63, 1, 32, 0}, {10, 0, 0, 0}});
// A chunk of odd size (with its pad byte) before the data chunk of two colours.
Bytes RiffPalette() {
  ByteBuilder b;
  b.Text("RIFF").U32(36).Text("PAL ");       // RIFF header: size, form
  b.Text("LIST").U32(3).Text("abc").U8(0);   // another chunk, padded to even
  b.Text("data").U32(12).U16(0x0300).U16(2); // data chunk: size, version, count
  b.U8(10).U8(20).U8(30).U8(0x55);           // red, green, blue, flags
  b.U8(40).U8(50).U8(60).U8(0);
  return b.Get();
}
const Bytes Riff = RiffPalette();

class PaletteFileTest : public vextest::TemplateFolderTest {
protected:
  // Reads `bytes` as a member between other bytes, as ReadPalette reads one in an archive.
  TPalette ReadMember(const Bytes& bytes, TPaletteBits bits) {
    Bytes file = Text("BM\1\1"), after = Text("\n9 9 9\n");
    file.insert(file.end(), bytes.begin(), bytes.end());
    file.insert(file.end(), after.begin(), after.end());
    vextest::WriteWholeFile(Path("archive"), file);
    const TFile archive = TFile::OpenOrRaise(Path("archive"), TOpenMode::ReadShareRead);
    return ReadPalette(archive, 4, bytes.size(), bits);
  }
};

// Each row: the file and the bits asked for; then the format, colour count and bits read, and
// colour 0 and one other colour as read.
TEST_F(PaletteFileTest, ReadsEveryFormat) {
  using B = TPaletteBits;
  struct Read {
    const char* format;
    std::size_t count;
    int bits;
    TPaletteEntry first;
    std::size_t index;
    TPaletteEntry other;
  };
  const struct {
    const char* name;
    Bytes file;
    TPaletteBits bits;
    Read expected;
  } cases[] = {
      {"raw, 6-bit guessed", SixBitRaw, B::Guess, {"raw", 256, 6, {255, 4, 130}, 1, {40, 0, 0}}},
      {"raw, 6-bit kept", SixBitRaw, B::Eight, {"raw", 256, 8, {63, 1, 32}, 255, {1, 2, 3}}},
      {"raw, 8-bit guessed",
       Raw({{63, 1, 32}, {64, 0, 0}}),
       B::Guess,
       {"raw", 256, 8, {63, 1, 32}, 1, {64, 0, 0}}},
      {"raw of 772, colours past the count not guessed",
       Raw({{0, 0, 9}, {0, 2, 63}, {200}}, 2, true),
       B::Guess,
       {"raw", 2, 6, {0, 0, 36}, 1, {0, 8, 255}}},
      {"JASC-PAL, CRLF, trailing blank line",
       Text("JASC-PAL\r\n0100\r\n3\r\n255 0 0\r\n0\t128 7\r\n1 2 3 \r\n\r\n"),
       B::Guess,
       {"JASC-PAL", 3, 8, {255, 0, 0}, 2, {1, 2, 3}}},
      {"GIMP, names and comments, no final line break",
       Text("GIMP Palette\nName: Test\nColumns: 4\n# 1 2 3\n\n  0  10  20\tDark blue\n"
            "255 254 253 Almost white\n  7 8 9"),
       B::Guess,
       {"GIMP", 3, 8, {0, 10, 20}, 2, {7, 8, 9}}},
      {"GIMP, 6-bit forced",
       Text("GIMP Palette\n63 0 1\n"),
       B::Six,
       {"GIMP", 1, 6, {255, 0, 4}, 0, {255, 0, 4}}},
      {"RIFF, a chunk before data", Riff, B::Guess, {"RIFF", 2, 8, {10, 20, 30}, 1, {40, 50, 60}}},
      {"8-bit bitmap", Bitmap8, B::Guess, {"bitmap", 256, 8, {3, 255, 1}, 255, {252, 0, 244}}},
      {"1-bit bitmap",
       vextest::TemplateFile(TemplateLayout().Bits(1)),
       B::Eight,
       {"bitmap", 2, 8, {3, 255, 1}, 1, {10, 254, 14}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TPalette palette = ReadMember(c.file, c.bits);
    EXPECT_EQ(palette.format, c.expected.format);
    ASSERT_EQ(palette.colours.size(), c.expected.count);
    EXPECT_EQ(palette.bits, c.expected.bits);
    EXPECT_EQ(palette.colours[0], c.expected.first);
    EXPECT_EQ(palette.colours[c.expected.index], c.expected.other);
  }
}

TEST_F(PaletteFileTest, RefusesSayingWhatIsWrong) {
  const struct {
    Bytes file;
    TPaletteBits bits;
    std::string message;
  } cases[] = {
      {Text("Hello"), TPaletteBits::Guess, "Not a palette"},
      {{}, TPaletteBits::Guess, "Not a palette: the file is empty"},
      {Raw({}, 0, true), TPaletteBits::Guess,
       "raw palette of 772 bytes: its colour count 0 is not from 1 to 256"},
      {Raw({{0, 0, 0}, {0, 0, 64}}), TPaletteBits::Six,
       "raw palette, index 1: 64 is more than 63, the largest 6-bit value"},
      {Bitmap8, TPaletteBits::Six, "bitmap, index 0: 255 is more than 63, the largest 6-bit value"},
      {Text("JASC-PAL\n0100\n257\n"), TPaletteBits::Guess,
       "JASC-PAL palette, line 3: 257 colours are more than the 256 a palette holds"},
      {Text("JASC-PAL\n0100\n2\n1 2 3\n300 0 0\n"), TPaletteBits::Guess,
       "JASC-PAL palette, line 5: \"300 0 0\" is not three values from 0 to 255"},
      {Text("JASC-PAL\n0100\n2\n1 2 3\n\n"), TPaletteBits::Guess,
       "JASC-PAL palette, line 3: it says 2 colours, the lines after it hold 1"},
      {Text("GIMP Palette\n1 2 3 Red\n0 0 x\n"), TPaletteBits::Guess,
       "GIMP palette, line 3: \"0 0 x\" is not three values from 0 to 255"},
      {Bytes(Riff.begin(), Riff.begin() + 30), TPaletteBits::Guess,
       "RIFF palette: its size field says 36 bytes follow it, the file holds 22"},
      {vextest::TemplateFile(TemplateLayout().Bits(24)), TPaletteBits::Guess,
       "bitmap of 24 bits per pixel: it has no colour table"},
      {Bytes(Bitmap8.begin(), Bitmap8.begin() + 100), TPaletteBits::Guess,
       "bitmap: it ends inside its headers or colour table"},
  };
  for (const auto& c : cases)
    EXPECT_THROW_MSG(ReadMember(c.file, c.bits), EInvalidGraphic, c.message + PaletteFormatsTaken);
}

// The template's bytes, field by field, then the colours as the template reader gives them.
TEST_F(PaletteFileTest, TemplateHoldsTheColoursThenBlack) {
  const Bytes file = EncodePaletteTemplate({{1, 2, 3, 0}, {250, 251, 252, 0}});
  ByteBuilder b;
  b.Text("BM").U32(1082).U32(0).U32(1078); // file type, file size, reserved, pixel offset
  b.U32(40).I32(1).I32(1).U16(1).U16(8);   // header size, width, height, planes, bit count
  b.U32(0).U32(4).I32(2835).I32(2835);     // compression, image size, x and y resolution
  b.U32(256).U32(0);                       // colours used, colours important
  b.U8(3).U8(2).U8(1).U8(0).U8(252).U8(251).U8(250).U8(0); // blue, green, red, reserved
  b.Repeat(0, 254 * 4).U32(0);                             // black; the pixel, padded
  EXPECT_EQ(file, b.Get());
  vextest::WriteWholeFile(Path("TivPalette.bmp"), file);
  const std::vector<TPaletteEntry> read = TPaletteTemplate::Read(Path("TivPalette.bmp")).Colours();
  ASSERT_EQ(read.size(), 256u);
  EXPECT_EQ(read[1], (TPaletteEntry{250, 251, 252, 0}));
  EXPECT_EQ(read[2], TPaletteEntry{});
}

} // namespace
} // namespace vex
