// The update fuzz body. The input is a u16 length, BASE of that many bytes (or as many as
// there are), then a bitmap that stands in FOLDER as overmain.bmp. Whatever they hold, the
// update fails with a message, leaving no OUT and no temporary file, or writes an OUT whose
// directory lists BASE's entries in BASE's order; BASE and the bitmap stay as they were.
#include "archive_listing.h"
#include "archive_update.h"
#include "bmp_builder.h"
#include "demo_files.h"
#include "exceptions.h"
#include "fuzz_workspace.h"
#include "input_checks.h"

#include <fstream>

namespace fs = std::filesystem;

namespace vexfuzz {

namespace {

// The index, key and name columns of a listing: what an update must keep.
std::string Directory(const std::string& listing) {
  std::string kept;
  for (std::size_t at = 0; at < listing.size(); at = listing.find('\n', at) + 1) {
    std::size_t end = at;
    for (int tab = 0; tab < 3; ++tab)
      end = listing.find('\t', end) + 1;
    kept += listing.substr(at, end - at) + "\n";
  }
  return kept;
}

std::string CheckFolder(const fs::path& folder, bool updated) {
  std::size_t entries = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    entries += entry.path().filename() == "overmain.bmp" || entry.path().filename() == "new.agg";
  const std::size_t all = std::distance(fs::directory_iterator(folder), {});
  return all == entries && entries == (updated ? 2u : 1u) ? ""
                                                          : "OUT or a temporary file misplaced";
}

} // namespace

TInputOutcome CheckUpdateInput(const std::uint8_t* data, std::size_t size) {
  vex::FillKnownNames();
  TFuzzWorkspace& workspace = TFuzzWorkspace::Get();
  workspace.ClearOutput();
  const std::vector<std::uint8_t> palette = vextest::TemplateFile({});
  workspace.WriteTemplate(palette.data(), palette.size());
  const std::size_t skip = std::min<std::size_t>(size, 2);
  const std::size_t baseSize =
      std::min<std::size_t>(size - skip, skip < 2 ? 0 : data[0] | data[1] << 8);
  workspace.WriteArchive(data + skip, baseSize);
  const std::string bitmap(data + skip + baseSize, data + size);
  fs::create_directory(workspace.OutFolder());
  std::ofstream(workspace.OutFolder() / "overmain.bmp", std::ios::binary) << bitmap;
  const std::string base = ReadFileBytes(workspace.ArchivePath());
  const fs::path out = workspace.OutFolder() / "new.agg";
  TInputOutcome outcome;
  try {
    vex::UpdateArchive({workspace.ArchivePath().string(), workspace.OutFolderString(), out.string(),
                        workspace.TemplatePath().string()},
                       outcome.member);
  } catch (const vex::Exception& e) {
    outcome.message = e.Message();
  }
  outcome.problem = workspace.StrayEntries();
  if (outcome.problem.empty())
    outcome.problem = CheckFolder(workspace.OutFolder(), outcome.message.empty());
  if (outcome.problem.empty() && (ReadFileBytes(workspace.ArchivePath()) != base ||
                                  ReadFileBytes(workspace.OutFolder() / "overmain.bmp") != bitmap))
    outcome.problem = "BASE or the bitmap was changed";
  if (outcome.problem.empty() && outcome.message.empty()) {
    std::string subject;
    if (Directory(vex::ListArchive(out.string(), subject)) !=
        Directory(vex::ListArchive(workspace.ArchivePath().string(), subject)))
      outcome.problem = "OUT's directory is not BASE's";
  }
  return outcome;
}

} // namespace vexfuzz
