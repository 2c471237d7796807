// The palette fuzz body. The input is decoded in memory as a member between other bytes, once
// with each way of taking its values: a read gives 1 to 256 colours in the format the first bytes
// name and in the bits asked for, and the template made of them gives them back, then black.
#include "input_checks.h"

#include "exceptions.h"
#include "palette_file.h"
#include "palette_template.h"

#include <cstring>

namespace vexfuzz {

namespace {

// A raw table has no signature: its size alone tells it. A text palette may begin with a
// byte-order mark.
std::string NamedFormat(std::string_view input) {
  if (input.substr(0, 2) == "BM" || input.substr(0, 4) == "RIFF")
    return input[0] == 'B' ? "bitmap" : "RIFF";
  const std::string_view text = input.substr(input.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0);
  const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
  if (firstLine == "JASC-PAL" || firstLine == "GIMP Palette")
    return firstLine[0] == 'G' ? "GIMP" : "JASC-PAL";
  return input.size() == 768 || input.size() == 772 ? "raw" : "none";
}

// Guessing takes 6 bits for raw tables alone.
std::string CheckRead(const vex::TPalette& read, vex::TPaletteBits bits,
                      const std::string& format) {
  const int wanted = bits == vex::TPaletteBits::Six ||
                             (bits == vex::TPaletteBits::Guess && read.bits == 6 && format == "raw")
                         ? 6
                         : 8;
  if (read.colours.empty() || read.colours.size() > 256 || read.format != format ||
      read.bits != wanted)
    return "read as " + read.format + ", " + std::to_string(read.colours.size()) + " colours in " +
           std::to_string(read.bits) + " bits";
  const vex::TByteDynArray bytes = vex::EncodePaletteTemplate(read.colours);
  std::vector<vex::TPaletteEntry> expected = read.colours;
  expected.resize(256);
  if (vex::TPaletteTemplate::Decode(bytes).Colours() != expected)
    return "the template does not give back the colours then black";
  return "";
}

} // namespace

TInputOutcome CheckPaletteInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string member = "BM\x01" + input + "\n1 2 3\n";
  const vex::TBytesView bytes(reinterpret_cast<const std::uint8_t*>(member.data()) + 3, size);
  TInputOutcome outcome;
  // A failure of another kind escapes, and is a finding.
  for (const auto bits :
       {vex::TPaletteBits::Guess, vex::TPaletteBits::Six, vex::TPaletteBits::Eight}) {
    try {
      const std::string problem =
          CheckRead(vex::DecodePalette(bytes, bits), bits, NamedFormat(input));
      outcome.problem = outcome.problem.empty() ? problem : outcome.problem;
    } catch (const vex::EInvalidGraphic& e) {
      const std::string& text = e.Message();
      const std::size_t cut =
          text.size() - std::min(text.size(), std::strlen(vex::PaletteFormatsTaken));
      if (text.substr(cut) != vex::PaletteFormatsTaken)
        outcome.problem = "a refusal without the formats taken: " + text;
      if (bits == vex::TPaletteBits::Guess)
        outcome.message = text.substr(0, cut);
    }
  }
  return outcome;
}

} // namespace vexfuzz
