// The palette fuzz body. The input is read as a member between other bytes of a file, once with
// each way of taking its values. A palette read has 1 to 256 colours, the format its first
// bytes name, the bits asked for, and 6-bit values that are its 8-bit ones widened; the
// template made of it gives back its colours, then black.
#include "input_checks.h"

#include "exceptions.h"
#include "fuzz_workspace.h"
#include "palette_file.h"
#include "palette_template.h"

#include <optional>
#include <string_view>

namespace vexfuzz {

namespace {

// The format the input's first bytes name; a raw table has none, and only its size tells it.
std::string NamedFormat(std::string_view input) {
  const std::string_view firstLine = input.substr(0, input.find_first_of("\r\n"));
  if (input.substr(0, 2) == "BM")
    return "bitmap";
  if (input.substr(0, 4) == "RIFF")
    return "RIFF";
  if (firstLine == "JASC-PAL" || firstLine == "GIMP Palette")
    return firstLine == "GIMP Palette" ? "GIMP" : "JASC-PAL";
  return input.size() == 768 || input.size() == 772 ? "raw" : "none";
}

std::uint8_t Widened(std::uint8_t v) {
  return std::uint8_t(v << 2 | v >> 4);
}

// One read: its palette, or its message (the sentence of formats taken checked and cut off).
struct TRead {
  std::optional<vex::TPalette> palette;
  std::string message, problem;
};

TRead ReadAs(const vex::TFile& file, std::size_t size, vex::TPaletteBits bits) {
  TRead read;
  try {
    read.palette = vex::ReadPalette(file, 3, size, bits);
  } catch (const vex::EInvalidGraphic& e) {
    const std::string taken = vex::PaletteFormatsTaken;
    read.message =
        e.Message().substr(0, e.Message().size() - std::min(taken.size(), e.Message().size()));
    if (read.message + taken != e.Message())
      read.problem = "a refusal without the formats taken: " + e.Message();
  } catch (const vex::Exception& e) {
    read.problem = "not a palette refusal: " + e.Message();
  }
  return read;
}

// A read of `bits` on its own, and a 6-bit one against the 8-bit read `eight`.
std::string CheckPalette(const vex::TPalette& p, const std::string& format, int bits,
                         const vex::TPalette* eight) {
  if (p.colours.empty() || p.colours.size() > 256 || p.format != format || p.bits != bits ||
      (eight && eight->colours.size() != p.colours.size()))
    return "read as " + p.format + ", " + std::to_string(p.colours.size()) + " colours, " +
           std::to_string(p.bits) + " bits";
  for (std::size_t i = 0; i < p.colours.size(); ++i) {
    const vex::TPaletteEntry& c = p.colours[i];
    const vex::TPaletteEntry e = eight ? eight->colours[i] : c;
    if (c.flags != 0 ||
        (eight && !(c == vex::TPaletteEntry{Widened(e.red), Widened(e.green), Widened(e.blue), 0})))
      return "colour " + std::to_string(i) + " is not the 8-bit one widened";
  }
  return "";
}

bool SameRead(const std::optional<vex::TPalette>& a, const std::optional<vex::TPalette>& b) {
  return a.has_value() == b.has_value() &&
         (!a || (a->format == b->format && a->bits == b->bits && a->colours == b->colours));
}

std::string CheckTemplate(const vex::TPalette& palette) {
  TFuzzWorkspace& workspace = TFuzzWorkspace::Get();
  const vex::TByteDynArray bytes = vex::EncodePaletteTemplate(palette.colours);
  workspace.WriteAppFile(workspace.TemplatePath(), bytes.data(), bytes.size());
  std::vector<vex::TPaletteEntry> expected = palette.colours;
  expected.resize(256);
  if (vex::TPaletteTemplate::Read(workspace.TemplatePath().string()).Colours() != expected)
    return "the template does not give back the colours then black";
  return "";
}

} // namespace

TInputOutcome CheckPaletteInput(const std::uint8_t* data, std::size_t size) {
  TFuzzWorkspace& workspace = TFuzzWorkspace::Get();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string member = "BM\x01" + input + "\n1 2 3\n";
  workspace.WriteAppFile(workspace.ArchivePath(),
                         reinterpret_cast<const std::uint8_t*>(member.data()), member.size());
  const vex::TFile file =
      vex::TFile::OpenOrRaise(workspace.ArchivePath().string(), vex::TOpenMode::ReadShareRead);
  const TRead guess = ReadAs(file, size, vex::TPaletteBits::Guess);
  const TRead six = ReadAs(file, size, vex::TPaletteBits::Six);
  const TRead eight = ReadAs(file, size, vex::TPaletteBits::Eight);
  TInputOutcome outcome{guess.message, "", workspace.StrayEntries()};
  const std::string format = NamedFormat(input);
  for (const TRead* read : {&guess, &six, &eight}) {
    if (outcome.problem.empty())
      outcome.problem = read->problem;
  }
  if (!outcome.problem.empty())
    return outcome;
  if (six.palette && !eight.palette)
    outcome.problem = "read in 6 bits, refused in 8";
  else if (eight.palette)
    outcome.problem = CheckPalette(*eight.palette, format, 8, nullptr);
  if (outcome.problem.empty() && six.palette)
    outcome.problem = CheckPalette(*six.palette, format, 6, &*eight.palette);
  // Guessing takes 6 bits for a raw table whose values are all up to 63, and 8 for all else.
  if (outcome.problem.empty() &&
      !SameRead(guess.palette, format == "raw" && six.palette ? six.palette : eight.palette))
    outcome.problem = "the guess is neither the 6-bit nor the 8-bit read it should be";
  if (outcome.problem.empty() && guess.palette)
    outcome.problem = CheckTemplate(*guess.palette);
  return outcome;
}

} // namespace vexfuzz
