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

// A picture's file saved as PNG: the name the unpack writes with ".png" for its ".bmp".
std::string PngFileName(const std::string& fileName) {
  return fileName.substr(0, fileName.size() - 4) + ".png";
}

// The known names by the folded name of the file the unpack writes for each, and for
// pictures by that of the same file saved as PNG.
const std::unordered_map<std::string, std::string_view>& KnownFileNames() {
  static const std::unordered_map<std::string, std::string_view> names = [] {
    std::unordered_map<std::string, std::string_view> byFile;
    for (const std::string_view name : KnownNameList()) {
      const std::string fileName = MemberFileName(std::string(name));
      byFile.emplace(FoldedName(fileName), name);
      if (IsPictureName(name))
        byFile.emplace(FoldedName(PngFileName(fileName)), name);
    }
    return byFile;
  }();
  return names;
}

// Picture formats that an editor saves and the update does not read, by folded extension:
// files of a member's name in them are told apart from files that match nothing.
constexpr std::string_view LossyExtensions[] = {".JPG", ".JPEG", ".JPE", ".JFIF"};
constexpr std::string_view UnreadExtensions[] = {
    ".GIF", ".TGA", ".WEBP", ".TIF", ".TIFF", ".PCX", ".ICO", ".PPM",  ".PGM",  ".PBM", ".PNM",
    ".PAM", ".XPM", ".PSD",  ".XCF", ".ORA",  ".KRA", ".QOI", ".AVIF", ".HEIC", ".JXL", ".LBM"};

// The length of `folded`'s extension when it is one of `extensions`, else 0.
template <std::size_t N>
std::size_t ExtensionIn(const std::string& folded, const std::string_view (&extensions)[N]) {
  for (const std::string_view extension : extensions)
    if (folded.size() > extension.size() &&
        folded.compare(folded.size() - extension.size(), extension.size(), extension) == 0)
      return extension.size();
  return 0;
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

// Fails for a member or known name that more than one file matches, naming them all.
void RequireOneFile(const std::vector<std::string>& files, const std::string& member,
                    const std::string& folder) {
  if (files.size() < 2)
    return;
  std::string listed;
  for (std::size_t i = 0; i < files.size(); ++i)
    listed += std::string(i == 0                  ? ""
                          : i + 1 == files.size() ? " and "
                                                  : ", ") +
              '"' + files[i] + '"';
  const std::string count = files.size() == 2 ? "Two" : std::to_string(files.size());
  RaiseConcerning(count + " files match the member " + member + ": " + listed + "; keep only one",
                  folder);
}

class TMatcher {
public:
  TMatcher(const std::string& folder, const std::vector<std::string>& memberNames, bool add)
      : folder_(folder), memberNames_(memberNames), add_(add) {
    claims_.resize(memberNames.size());
    for (std::size_t i = 0; i < memberNames.size(); ++i) {
      const std::string fileName = MemberFileName(memberNames[i]);
      members_[FoldedName(fileName)] = i; // the last of a name wins
      if (IsPictureName(memberNames[i]))
        members_[FoldedName(PngFileName(fileName))] = i;
    }
  }

  TFolderMatch Run() {
    std::vector<TFolderEntry> entries =
        Concerning(folder_, [&] { return ListGivenFolder(folder_); });
    std::sort(entries.begin(), entries.end(),
              [](const TFolderEntry& a, const TFolderEntry& b) { return a.name < b.name; });
    for (const TFolderEntry& entry : entries)
      Match(entry);
    TakeClaims();
    std::sort(match_.added.begin(), match_.added.end(),
              [](const TAddedFile& a, const TAddedFile& b) { return a.memberName < b.memberName; });
    return std::move(match_);
  }

private:
  void Match(const TFolderEntry& entry);
  void MatchUnknownMember(const TFolderEntry& entry, const std::string& folded);
  bool LeaveOutLookAlike(const TFolderEntry& entry, const std::string& folded);
  void TakeClaims();

  const std::string& folder_;
  const std::vector<std::string>& memberNames_;
  bool add_;
  std::unordered_map<std::string, std::size_t> members_;
  std::unordered_map<std::string, std::size_t> added_; // folded file name -> index in added
  std::vector<std::vector<std::string>> claims_;       // per member: the files matching it
  std::vector<std::vector<std::string>> addedClaims_;  // per added member: the files for it
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
  claims_[member->second].push_back(entry.name);
}

// Only once the whole folder is seen are all the files that match one member known.
void TMatcher::TakeClaims() {
  match_.files.resize(memberNames_.size());
  for (std::size_t i = 0; i < claims_.size(); ++i) {
    RequireOneFile(claims_[i], memberNames_[i], folder_);
    if (!claims_[i].empty())
      match_.files[i] = claims_[i].front();
  }
  for (std::size_t i = 0; i < addedClaims_.size(); ++i) {
    RequireOneFile(addedClaims_[i], match_.added[i].memberName, folder_);
    match_.added[i].fileName = addedClaims_[i].front();
  }
}

// A file of a member's name (or with --add a known picture name) in a format the update does
// not read: a JPEG fails, since its colours are not the ones it was given; others are left
// out with a word on what to save instead. False for any other entry.
bool TMatcher::LeaveOutLookAlike(const TFolderEntry& entry, const std::string& folded) {
  const std::size_t lossy = ExtensionIn(folded, LossyExtensions);
  const std::size_t extension = lossy != 0 ? lossy : ExtensionIn(folded, UnreadExtensions);
  if (extension == 0 || entry.kind != TEntryKind::File)
    return false;
  const std::string asBitmap = folded.substr(0, folded.size() - extension) + ".BMP";
  std::string like;
  if (const auto member = members_.find(asBitmap); member != members_.end())
    like = MemberFileName(memberNames_[member->second]);
  else if (const auto known = KnownFileNames().find(asBitmap);
           add_ && known != KnownFileNames().end())
    like = MemberFileName(std::string(known->second));
  else
    return false;
  if (lossy != 0)
    RaiseConcerning("A JPEG file loses colours as it is saved, so it cannot stand for " + like +
                        ": save the picture as a BMP or PNG file",
                    folder_ + entry.name);
  match_.leftOut.push_back(entry.name + " (looks like " + like + ": save it as a BMP or PNG file)");
  return true;
}

// Why a file that no member of BASE has is left out, `known` when the name is in the table.
std::string LeftOutReason(TEntryKind kind, bool known) {
  switch (kind) {
  case TEntryKind::Folder:
    return "a folder";
  case TEntryKind::Link:
    return "a symbolic link";
  case TEntryKind::Other:
    return "not a regular file";
  case TEntryKind::File:
    break;
  }
  return known ? "no member of BASE has this name; --add adds it"
               : "no member of BASE has this name";
}

void TMatcher::MatchUnknownMember(const TFolderEntry& entry, const std::string& folded) {
  if (LeaveOutLookAlike(entry, folded))
    return;
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
    // A name and its PNG twin are one member to add.
    const std::string member(known->second);
    const auto [slot, fresh] = added_.emplace(FoldedName(member), match_.added.size());
    if (fresh) {
      match_.added.push_back({"", member, KeyOf(known->second)});
      addedClaims_.emplace_back();
    }
    addedClaims_[slot->second].push_back(entry.name);
    return;
  }
  match_.leftOut.push_back(entry.name + " (" + LeftOutReason(entry.kind, isKnown) + ")");
}

} // namespace

TFolderMatch MatchFolderToMembers(const std::string& folder,
                                  const std::vector<std::string>& memberNames, bool add) {
  return TMatcher(folder, memberNames, add).Run();
}

} // namespace vex
