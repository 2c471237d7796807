// The palette-template fuzz body. The input is the template file's bytes, decoded in memory;
// two small pictures go through the real conversion with it. Each file written must be, byte for
// byte, the one the tests' own builder makes: an 8-bit bitmap of the picture's size, its rows
// bottom-up with zero padding, its colour table the template's colours as the tool read them, then
// black.
#include "input_checks.h"

#include "archive_builder.h"
#include "bmp_builder.h"
#include "exceptions.h"
#include "fuzz_workspace.h"
#include "pixel_format_assertion.h"
#include "raw_image.h"

#include <algorithm>
#include <array>
#include <optional>

namespace fs = std::filesystem;

namespace vexfuzz {

namespace {

// The failures a template may be refused with; anything else is a finding.
bool IsTemplateFailure(const std::string& message) {
  static const std::array<std::string, 4> failures = {
      "Bitmap image is not valid", "Stream read error", "Palette template is not an 8-bit bitmap",
      vextest::PixelFormatAssertion};
  return std::find(failures.begin(), failures.end(), message) != failures.end();
}

// Compares a written file with the one the tests' builder makes for the picture in the
// template's colours, header style and resolution.
std::string CheckWrittenPicture(const fs::path& path, const vex::TByteDynArray& member,
                                const vex::TPaletteTemplate& format) {
  vextest::TemplateLayout t;
  t.colours = format.Colours();
  t.headerSize = format.CoreHeaderStyle() ? 12 : 40;
  t.xResolution = format.Format().xResolution;
  t.yResolution = format.Format().yResolution;
  const std::vector<std::uint8_t> expected = vextest::ExpectedBitmapFile(
      t, static_cast<std::uint16_t>(vextest::FieldAt(&member[2], 2)),
      static_cast<std::uint16_t>(vextest::FieldAt(&member[4], 2)), &member[6]);
  const std::string file = ReadFileBytes(path);
  const auto differs = std::mismatch(file.begin(), file.end(), expected.begin(), expected.end(),
                                     [](char a, std::uint8_t b) { return std::uint8_t(a) == b; });
  if (differs.first == file.end() && differs.second == expected.end())
    return "";
  return "differs from the expected file at byte " + std::to_string(differs.first - file.begin());
}

std::string CheckConversions(const TInputOutcome& outcome, int converted, const fs::path& out,
                             const vex::TByteDynArray (&members)[2],
                             const vex::TPaletteTemplate* format) {
  std::error_code error;
  if (!outcome.message.empty()) {
    if (!IsTemplateFailure(outcome.message))
      return "not a template failure";
    if (converted != 0)
      return "the second picture failed after the first went through";
    return fs::exists(out / "a.bmp", error) ? "file made before the template was refused" : "";
  }
  for (int i = 0; i < 2; ++i) {
    const std::string problem =
        CheckWrittenPicture(out / (i == 0 ? "a.bmp" : "b.bmp"), members[i], *format);
    if (!problem.empty())
      return (i == 0 ? "first picture: " : "second picture: ") + problem;
  }
  return "";
}

} // namespace

TInputOutcome CheckTemplateInput(const std::uint8_t* data, std::size_t size) {
  TFuzzWorkspace& workspace = TFuzzWorkspace::Get();
  workspace.ClearOutput();
  std::error_code error;
  fs::create_directory(workspace.OutFolder(), error);
  // The last byte picks the pictures' sizes: it is a pixel or padding byte of most templates,
  // so it rarely changes how the template reads.
  const std::uint8_t sizes = size != 0 ? data[size - 1] : 0x23;
  const auto width = static_cast<std::uint16_t>(sizes & 0x0F);
  const auto height = static_cast<std::uint16_t>(sizes >> 4);
  const vex::TByteDynArray members[2] = {
      vextools::RawImage(width, height, vextools::Noise(std::size_t{width} * height, 1)),
      vextools::RawImage(height, width, vextools::Noise(std::size_t{width} * height, 2))};
  TInputOutcome outcome;
  int converted = 0;
  std::optional<vex::TRawImageConverter> converter;
  try {
    // Decoded before the first picture, as the converter reads its template's file.
    converter.emplace(vex::TPaletteTemplate::Decode(vex::TBytesView(data, size)));
    converter->ConvertRawImage(members[0], workspace.OutFolderString() + "a.bmp");
    ++converted;
    converter->ConvertRawImage(members[1], workspace.OutFolderString() + "b.bmp");
    ++converted;
  } catch (const vex::Exception& e) {
    outcome.message = e.Message();
  }
  outcome.problem = workspace.StrayEntries();
  if (outcome.problem.empty())
    outcome.problem = CheckConversions(outcome, converted, workspace.OutFolder(), members,
                                       converter ? converter->Template() : nullptr);
  return outcome;
}

} // namespace vexfuzz
