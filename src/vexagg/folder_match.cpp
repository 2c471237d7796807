// Matching an unpacked folder to an archive's members, in one pass over the folder's listing.
#include "folder_match.h"

#include "exceptions.h"
#include "files.h"
#include "known_names.h"
#include "member_names.h"
#include "paths.h"

#include <algorithm>
#include <unordered_map>

namespace vex {

namespace {

// The known names by the folded name of the file the unpack writes for each.
const std::unordered_map<std::string, std::string_view>& KnownFileNames() {
  static const std::unordered_map<std::string, std::string_view> names = [] {
    std::unordered_map<std::string, std::string_view> byFile;
    for (const std::string_view name : KnownNameList())
      byFile.emplace(FoldedName(MemberFileName(std::string(name))), name);
    return byFile;
  }();
  return names;
}

[[noreturn]] void RaiseConcerning(const std::string& message, const std::string& subject) {
  Exception failure(message);
  failure.SetSubject(subject);
  throw failure;
}

// Lists FOLDER. When that fails, a FOLDER that is missing or a file (the arguments given in
// another order, say) is told as such, under the name the user gave: "out.agg/" names nothing
// when out.agg is a file. Any other failure keeps the system's word.
std::vector<TFolderEntry> ListGivenFolder(const std::string& folder) {
  try {
    return ListFolder(folder);
  } catch (const EOSError&) {
    std::string given = folder;
    if (given.size() > 1 && EndsWithDelimiter(given, SystemPathSyntax()))
      given.pop_back();
    const char* const why = " must be the folder BASE was unpacked into";
    if (!EntryExists(given))
      RaiseConcerning(std::string("No such folder: FOLDER") + why, given);
    if (RegularFileSize(given))
      RaiseConcerning(std::string("Not a folder: FOLDER") + why, given);
    throw;
  }
}

void RaiseLink(const std::string& path) {
  RaiseConcerning("File is a symbolic link, which vexagg does not follow; put the file itself "
                  "in the folder",
                  path);
}

// Records `file` as the one for a member or known name, failing when another file has it.
void Claim(std::string& holder, const std::string& file, const std::string& member,
           const std::string& folder) {
  if (!holder.empty())
    RaiseConcerning("Two files match the member " + member + ": \"" + holder + "\" and \"" + file +
                        "\"; keep only one",
                    folder);
  holder = file;
}

class TMatcher {
public:
  TMatcher(const std::string& folder, const std::vector<std::string>& memberNames, bool add)
      : folder_(folder), memberNames_(memberNames), add_(add) {
    match_.files.resize(memberNames.size());
    for (std::size_t i = 0; i < memberNames.size(); ++i)
      members_[FoldedName(MemberFileName(memberNames[i]))] = i; // the last of a name wins
  }

  TFolderMatch Run() {
    std::vector<TFolderEntry> entries =
        Concerning(folder_, [&] { return ListGivenFolder(folder_); });
    std::sort(entries.begin(), entries.end(),
              [](const TFolderEntry& a, const TFolderEntry& b) { return a.name < b.name; });
    for (const TFolderEntry& entry : entries)
      Match(entry);
    std::sort(match_.added.begin(), match_.added.end(),
              [](const TAddedFile& a, const TAddedFile& b) { return a.memberName < b.memberName; });
    return std::move(match_);
  }

private:
  void Match(const TFolderEntry& entry);
  void MatchUnknownMember(const TFolderEntry& entry, const std::string& folded);

  const std::string& folder_;
  const std::vector<std::string>& memberNames_;
  bool add_;
  std::unordered_map<std::string, std::size_t> members_;
  std::unordered_map<std::string, std::size_t> added_; // folded file name -> index in added
  TFolderMatch match_;
};

void TMatcher::Match(const TFolderEntry& entry) {
  const std::string folded = FoldedName(entry.name);
  const auto member = members_.find(folded);
  if (member == members_.end())
    return MatchUnknownMember(entry, folded);
  if (entry.kind == TEntryKind::Link)
    RaiseLink(folder_ + entry.name);
  // A folder or device here fails where it is opened, with the system's word for it.
  Claim(match_.files[member->second], entry.name, memberNames_[member->second], folder_);
}

void TMatcher::MatchUnknownMember(const TFolderEntry& entry, const std::string& folded) {
  const auto known = KnownFileNames().find(folded);
  const bool isKnown = known != KnownFileNames().end();
  if (add_ && isKnown && entry.kind == TEntryKind::Link)
    RaiseLink(folder_ + entry.name);
  if (add_ && entry.kind == TEntryKind::File) {
    if (!isKnown)
      RaiseConcerning("Not a known name, so it cannot be added: neither the game nor the "
                      "unpack finds a member by a name the known-name table lacks (the unpack "
                      "would call it file_N)",
                      folder_ + entry.name);
    const auto [slot, fresh] = added_.emplace(folded, match_.added.size());
    if (fresh)
      match_.added.push_back({"", std::string(known->second), KeyOf(known->second)});
    Claim(match_.added[slot->second].fileName, entry.name, std::string(known->second), folder_);
    return;
  }
  std::string why;
  switch (entry.kind) {
  case TEntryKind::Folder:
    why = "a folder";
    break;
  case TEntryKind::Link:
    why = "a symbolic link";
    break;
  case TEntryKind::Other:
    why = "not a regular file";
    break;
  case TEntryKind::File:
    why = isKnown ? "no member of BASE has this name; --add adds it"
                  : "no member of BASE has this name";
    break;
  }
  match_.leftOut.push_back(entry.name + " (" + why + ")");
}

} // namespace

TFolderMatch MatchFolderToMembers(const std::string& folder,
                                  const std::vector<std::string>& memberNames, bool add) {
  return TMatcher(folder, memberNames, add).Run();
}

} // namespace vex
