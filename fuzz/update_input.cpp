// The update fuzz body. The input is a u16 length, BASE of that many bytes (or as many as
// there are), then a picture that stands in FOLDER as overmain.bmp, or as overmain.png when it
// begins as a PNG file does. Whatever they hold, the
// update fails with a message, leaving no OUT and no temporary file, or writes an OUT whose
// directory lists BASE's entries in BASE's order; BASE and the bitmap stay as they were.
#include "archive_listing.h"
#include "archive_update.h"
#include "bmp_builder.h"
#include "exceptions.h"
#include "fuzz_workspace.h"
#include "input_checks.h"
#include "known_names.h"
#include "png_reader.h"

#include <cstdlib>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace vexfuzz {

// The listing of `archive` without its offset, size and kind columns: what an update keeps.
static std::string DirectoryOf(const fs::path& archive) {
  static const std::regex offsetSizeAndKind("\t-?[0-9]+\t[0-9]+\t[^\n]*");
  return std::regex_replace(vex::ListArchive(archive.string()), offsetSizeAndKind, "");
}

TInputOutcome CheckUpdateInput(const std::uint8_t* data, std::size_t size) {
  TFuzzWorkspace& workspace = TFuzzWorkspace::Get();
  workspace.ClearOutput();
  const std::vector<std::uint8_t> palette = vextest::TemplateFile({});
  workspace.WriteAppFile(workspace.TemplatePath(), palette.data(), palette.size());
  const std::size_t skip = std::min<std::size_t>(size, 2);
  const std::size_t baseSize =
      std::min<std::size_t>(size - skip, skip < 2 ? 0 : data[0] | data[1] << 8);
  workspace.WriteAppFile(workspace.ArchivePath(), data + skip, baseSize);
  const std::string base = ReadFileBytes(workspace.ArchivePath());
  const std::string bitmap(data + skip + baseSize, data + size);
  const fs::path folder = workspace.OutFolder(), out = folder / "new.agg";
  fs::create_directory(folder);
  const auto* picture = reinterpret_cast<const std::uint8_t*>(bitmap.data());
  const bool png = bitmap.size() >= vex::PngSignatureSize && vex::IsPngSignature(picture);
  const fs::path file = folder / (png ? "overmain.png" : "overmain.bmp");
  std::ofstream(file, std::ios::binary) << bitmap;
  TInputOutcome outcome;
  try {
    // --resize: a picture of any size reaches the pixel reading, not only BASE's size. An RLE
    // picture is decoded at the size it states, which a small file may make huge; that cost is
    // the user's choice with --resize and not explored here: above a million pixels only the
    // refusal of another size is.
    vex::TUpdateRequest request{workspace.ArchivePath().string(), workspace.OutFolderString(),
                                out.string(), workspace.TemplatePath().string()};
    // A PNG states its size big-endian at bytes 16 and 20, a bitmap little-endian at 18 and 22.
    const auto stated = [&](std::size_t at) -> std::uint64_t {
      std::uint64_t value = 0;
      for (std::size_t i = 0; i < 4 && at + 4 <= bitmap.size(); ++i)
        value |= std::uint64_t{picture[at + i]} << 8 * (png ? 3 - i : i);
      return png ? value : std::abs(std::int64_t{static_cast<std::int32_t>(value)});
    };
    request.resize = stated(png ? 16 : 18) * stated(png ? 20 : 22) <= (std::uint64_t{1} << 20);
    vex::UpdateArchive(request);
  } catch (const vex::Exception& e) {
    outcome.message = e.Message();
    outcome.member = e.Subject();
  }
  const bool updated = outcome.message.empty();
  outcome.problem = workspace.StrayEntries();
  if (std::distance(fs::directory_iterator(folder), {}) != (updated ? 2 : 1) ||
      fs::exists(out) != updated)
    outcome.problem += " OUT or a temporary file misplaced";
  if (ReadFileBytes(workspace.ArchivePath()) != base || ReadFileBytes(file) != bitmap)
    outcome.problem += " BASE or the bitmap changed";
  if (outcome.problem.empty() && updated &&
      DirectoryOf(out) != DirectoryOf(workspace.ArchivePath()))
    outcome.problem = "OUT's directory is not BASE's";
  return outcome;
}

} // namespace vexfuzz
