// Palettes of every format, each read as a member between other bytes of a file; the refusals,
// which say what is wrong; and the palette template made from one.
#include "palette_file.h"

#include "exceptions.h"
#include "palette_template.h"
#include "template_folder_test.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using vextest::ByteBuilder;
using vextest::TemplateFile;
using vextest::TemplateLayout;

// Colour 0, then (1, 2, 3); with a count, the 772-byte form, its colours past the count white,
// which guessing must not look at.
Bytes Raw(std::uint8_t red, std::uint8_t green, std::uint8_t blue, int count = -1) {
  ByteBuilder b;
  b.U8(red).U8(green).U8(blue);
  for (int i = 1; i < 256; ++i)
    b.U8(count < 0 || i < count ? 1 : 255).U8(count < 0 || i < count ? 2 : 255).U8(3);
  if (count >= 0)
    b.U8(0).U8(std::uint8_t(count)).U16(0xFFFF); // count (big-endian), transparent index
  return b.Get();
}
Bytes Text(const std::string& text) {
  return ByteBuilder().Text(text).Get();
}
// A chunk of odd size, padded, before the data chunk of two colours.
Bytes Riff() {
  ByteBuilder b;
  b.Text("RIFF").U32(36).Text("PAL ");                        // RIFF header: size, form
  b.Text("LIST").U32(3).Text("abc").U8(0);                    // another chunk, its pad byte
  b.Text("data").U32(12).U16(0x0300).U16(2);                  // data chunk: size, version, count
  b.U8(10).U8(20).U8(30).U8(0x55).U8(40).U8(50).U8(60).U8(0); // red, green, blue, flags
  return b.Get();
}

class PaletteFileTest : public vextest::TemplateFolderTest {
protected:
  // "format, count, bits: first colour, last colour"; or the refusal, without the formats taken.
  std::string Outcome(const Bytes& bytes, TPaletteBits bits) {
    Bytes file = Text("BM\1\1"), after = Text("\n9 9 9\n");
    file.insert(file.end(), bytes.begin(), bytes.end());
    file.insert(file.end(), after.begin(), after.end());
    vextest::WriteWholeFile(Path("archive"), file);
    try {
      const TPalette p = ReadPalette(TFile::OpenOrRaise(Path("archive"), TOpenMode::ReadShareRead),
                                     4, bytes.size(), bits);
      std::string s =
          p.format + ", " + std::to_string(p.colours.size()) + ", " + std::to_string(p.bits) + ":";
      for (const TPaletteEntry& c : {p.colours.front(), p.colours.back()})
        s += " " + std::to_string(c.red) + "." + std::to_string(c.green) + "." +
             std::to_string(c.blue) + (c.flags != 0 ? "!" : "");
      return s;
    } catch (const EInvalidGraphic& e) {
      const std::size_t end = e.Message().rfind(PaletteFormatsTaken);
      return end + std::strlen(PaletteFormatsTaken) == e.Message().size()
                 ? e.Message().substr(0, end)
                 : "(no formats taken) " + e.Message();
    }
  }
};

TEST_F(PaletteFileTest, ReadsOrRefusesEveryFormat) {
  using B = TPaletteBits;
  const Bytes bitmap8 = TemplateFile(TemplateLayout()), riff = Riff();
  const struct {
    Bytes file;
    TPaletteBits bits;
    std::string outcome;
  } cases[] = {
      {Raw(63, 1, 32), B::Guess, "raw, 256, 6: 255.4.130 4.8.12"},
      {Raw(63, 1, 32), B::Eight, "raw, 256, 8: 63.1.32 1.2.3"},
      {Raw(64, 1, 32), B::Guess, "raw, 256, 8: 64.1.32 1.2.3"},
      {Raw(64, 1, 32), B::Six, "raw palette, index 0: 64 is more than 63, the largest 6-bit value"},
      {Raw(32, 1, 0, 2), B::Guess, "raw, 2, 6: 130.4.0 4.8.12"},
      {Raw(0, 0, 0, 0), B::Guess,
       "raw palette of 772 bytes: its colour count 0 is not from 1 to 256"},
      {Text("JASC-PAL\r\n0100\r\n3\r\n255 0 0\r\n0\t128 7\r\n1 2 3 \r\n\r\n"), B::Guess,
       "JASC-PAL, 3, 8: 255.0.0 1.2.3"},
      {Text("\xEF\xBB\xBFJASC-PAL\n0100\n1\n1 2 3"), B::Guess, "JASC-PAL, 1, 8: 1.2.3 1.2.3"},
      {Text("JASC-PAL\n0100\n2\n1 2 3\n300 0 0"), B::Guess,
       "JASC-PAL palette, line 5: \"300 0 0\" is not three values from 0 to 255"},
      {Text("JASC-PAL\n0100\n1\n1 2 3 4"), B::Guess,
       "JASC-PAL palette, line 4: \"1 2 3 4\" is not three values from 0 to 255"},
      {Text("JASC-PAL\n0100\n1\n1 2 3\n4 5 6"), B::Guess,
       "JASC-PAL palette, line 3: it says 1 colours, the lines after it hold 2"},
      {Text("JASC-PAL\n0100\n257\n"), B::Guess,
       "JASC-PAL palette, line 3: 257 colours are more than the 256 a palette holds"},
      {Text("GIMP Palette\nName: A\nColumns: 4\n# 1\n\n  0  10  20\tNavy\n7 8 9 Dark grey"), B::Six,
       "GIMP, 2, 6: 0.40.81 28.32.36"},
      {riff, B::Guess, "RIFF, 2, 8: 10.20.30 40.50.60"},
      {Bytes(riff.begin(), riff.begin() + 30), B::Guess,
       "RIFF palette: its size field says 36 bytes follow it, the file holds 22"},
      {vextest::Patched(riff, 34, 3, 2), B::Guess, // the count
       "RIFF palette: its data chunk of 12 bytes is too small for 3 colours"},
      {bitmap8, B::Guess, "bitmap, 256, 8: 3.255.1 252.0.244"},
      {TemplateFile(TemplateLayout().Bits(1)), B::Guess, "bitmap, 2, 8: 3.255.1 10.254.14"},
      {TemplateFile(TemplateLayout().Bits(24)), B::Guess,
       "bitmap of 24 bits per pixel: it has no colour table"},
      {Text("Hello"), B::Guess, "Not a palette"},
      {{}, B::Guess, "Not a palette: the file is empty"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Outcome(c.file, c.bits), c.outcome);
}

// The template's bytes, field by field; then the colours as the template reader gives them.
TEST_F(PaletteFileTest, TemplateHoldsTheColoursThenBlack) {
  ByteBuilder b;
  b.Text("BM").U32(1082).U32(0).U32(1078); // file type, file size, reserved, pixel offset
  b.U32(40).I32(1).I32(1).U16(1).U16(8);   // header size, width, height, planes, bit count
  b.U32(0).U32(4).I32(2835).I32(2835);     // compression, image size, x and y resolution
  b.U32(256).U32(0);                       // colours used, colours important
  b.U8(3).U8(2).U8(1).U8(0).U8(252).U8(251).U8(250).U8(0).Repeat(0, 254 * 4); // the colours
  b.U32(0);                                                                   // the pixel
  const TByteDynArray bytes = EncodePaletteTemplate({{1, 2, 3}, {250, 251, 252}});
  EXPECT_EQ(bytes, b.Get());
  const std::vector<TPaletteEntry> read = TPaletteTemplate::Decode(bytes).Colours();
  ASSERT_EQ(read.size(), 256u);
  EXPECT_EQ(read[1], (TPaletteEntry{250, 251, 252, 0}));
  EXPECT_EQ(read[255], TPaletteEntry{});
}

} // namespace
} // namespace vex
