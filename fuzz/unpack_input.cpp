// The whole-archive fuzz body. The input is the archive; a reading of its directory made here,
// apart from the tool's, says which member must fail first and with which message, and what
// every file written before it must hold. So a member that is lost, cut short, written twice
// or written before its refusal is a finding as much as a crash is.
#include "input_checks.h"

#include "bmp_builder.h"
#include "exceptions.h"
#include "fuzz_workspace.h"
#include "known_names.h"
#include "raw_image.h"
#include "unpack_archive.h"

#include <map>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace vexfuzz {

namespace {

const char* const ReadError = "Stream read error";
const char* const RangeError = "Range check error";

constexpr std::size_t CountSize = 2;
constexpr std::size_t EntrySize = 10;
constexpr std::size_t PictureHeadSize = 6;

// The template every input is unpacked with: 8 bits, 256 distinct colours.
const std::vector<std::uint8_t>& PaletteFile() {
  static const std::vector<std::uint8_t> file = vextest::TemplateFile({});
  return file;
}

// One directory entry and what must come of it.
struct TMemberModel {
  std::string name;     // the name the member is processed under
  std::string fileName; // the file it becomes
  std::string failure;  // the message it must fail with; "" when it is written
  std::string bytes;    // the file's bytes when it is written
};

TMemberModel ModelMember(const std::uint8_t* data, std::size_t size, std::size_t index) {
  // The fields are read with the tests' own reader: the model must not share a byte-order
  // fault with the tool's.
  const auto u16At = [](const std::uint8_t* p) {
    return static_cast<std::uint16_t>(vextest::FieldAt(p, 2));
  };
  const std::uint8_t* entry = data + CountSize + EntrySize * index;
  const auto offset = static_cast<std::int32_t>(vextest::FieldAt(entry + 2, 4));
  const auto length = static_cast<std::int32_t>(vextest::FieldAt(entry + 6, 4));
  TMemberModel member;
  const std::string_view known = vex::LookupKnownName(u16At(entry));
  member.name = known.empty() ? "file_" + std::to_string(index) : std::string(known);
  const vextest::MemberFile target = vextest::FileOfMember(member.name);
  member.fileName = target.name;
  const auto count = static_cast<std::size_t>(length);
  const bool inside =
      length >= 0 &&
      (count == 0 || (offset >= 0 && static_cast<std::uint64_t>(offset) + count <= size));
  const std::uint8_t* bytes = inside && count != 0 ? data + offset : data;
  if (!inside) {
    member.failure = length < 0 ? RangeError : ReadError;
  } else if (!target.picture) {
    member.bytes.assign(bytes, bytes + count);
  } else if (count < PictureHeadSize ||
             count - PictureHeadSize < std::size_t{u16At(bytes + 2)} * u16At(bytes + 4)) {
    member.failure = ReadError;
  } else {
    const std::vector<std::uint8_t> file = vextest::ExpectedBitmapFile(
        {}, u16At(bytes + 2), u16At(bytes + 4), bytes + PictureHeadSize);
    member.bytes.assign(file.begin(), file.end());
  }
  return member;
}

// What must be on disk, and the failure that must be reported, for this archive.
struct TArchiveModel {
  bool folderMade = false; // the directory was read whole
  std::string message;
  std::string member;
  std::map<std::string, std::string> files; // later members replace earlier ones
};

TArchiveModel ModelArchive(const std::uint8_t* data, std::size_t size) {
  TArchiveModel model;
  const std::size_t count = size >= CountSize ? vextest::FieldAt(data, 2) : 0;
  if (size < CountSize || size - CountSize < EntrySize * count) {
    model.message = ReadError;
    return model;
  }
  model.folderMade = true;
  std::vector<TMemberModel> members;
  for (std::size_t i = 0; i < count; ++i)
    members.push_back(ModelMember(data, size, i));
  // A member whose file a later entry writes again is checked but never written: that entry
  // replaces it, even when it then fails.
  std::set<std::string> writtenLater;
  std::vector<bool> replaced(count);
  for (std::size_t i = count; i-- > 0;)
    replaced[i] = !writtenLater.insert(members[i].fileName).second;
  for (std::size_t i = 0; i < count; ++i) {
    if (!members[i].failure.empty()) {
      model.message = members[i].failure;
      model.member = members[i].name;
      break;
    }
    if (!replaced[i])
      model.files[members[i].fileName] = std::move(members[i].bytes);
  }
  return model;
}

std::string CompareWithModel(const TArchiveModel& model, const TInputOutcome& outcome,
                             const fs::path& out) {
  if (outcome.message != model.message || outcome.member != model.member)
    return "failed with \"" + outcome.message + "\" at \"" + outcome.member + "\", not \"" +
           model.message + "\" at \"" + model.member + "\"";
  std::error_code error;
  if (!model.folderMade)
    return fs::exists(out, error) ? "output folder made before the directory was read" : "";
  if (!fs::is_directory(out, error))
    return "no output folder";
  std::size_t found = 0;
  for (fs::directory_iterator it(out, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const auto expected = model.files.find(name);
    if (expected == model.files.end())
      return "file " + name + " should not be there";
    if (ReadFileBytes(it->path()) != expected->second)
      return "file " + name + " does not hold the member's bytes";
    ++found;
  }
  if (error)
    return "cannot list the output folder: " + error.message();
  if (found != model.files.size())
    return std::to_string(model.files.size() - found) + " member files missing";
  return "";
}

} // namespace

TInputOutcome CheckUnpackInput(const std::uint8_t* data, std::size_t size) {
  TFuzzWorkspace& workspace = TFuzzWorkspace::Get();
  workspace.ClearOutput();
  workspace.WriteAppFile(workspace.TemplatePath(), PaletteFile().data(), PaletteFile().size());
  workspace.WriteAppFile(workspace.ArchivePath(), data, size);
  TInputOutcome outcome;
  try {
    vex::UnpackArchive(workspace.ArchivePath().string(),
                       *vex::FolderSink(workspace.OutFolderString()),
                       vex::PaletteTemplatePath(workspace.AppFolderString()));
  } catch (const vex::Exception& e) {
    outcome.message = e.Message();
    outcome.member = e.Subject();
  }
  outcome.problem = workspace.StrayEntries();
  if (outcome.problem.empty() && ReadFileBytes(workspace.TemplatePath()) !=
                                     std::string(PaletteFile().begin(), PaletteFile().end()))
    outcome.problem = "the template was changed";
  if (outcome.problem.empty())
    outcome.problem = CompareWithModel(ModelArchive(data, size), outcome, workspace.OutFolder());
  return outcome;
}

} // namespace vexfuzz
