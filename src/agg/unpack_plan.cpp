// The unpack's plan: later members replace earlier ones of the same file, and the bytes the
// files will take are known before the first is written, so that a disk that cannot take
// them is refused before it is filled.
#include "unpack_plan.h"

#include "exceptions.h"
#include "member_names.h"
#include "paths.h"
#include "raw_image.h"
#include "raw_picture.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace vex {

namespace {

// What the member leaves on disk once written; 0 when it fails its checks (it fails before
// its file exists) or its head cannot be read (the loop then fails on it).
std::uint64_t WrittenSize(const TFile& archive, std::uint64_t archiveSize,
                          const TDirectoryEntry& entry, bool picture, TPictureFile pictureFile) {
  if (entry.size == 0 || EntryFault(entry, archiveSize) != TEntryFault::None)
    return 0;
  if (!picture)
    return static_cast<std::uint64_t>(entry.size);
  std::optional<TRawPictureHead> head;
  try {
    head = ReadMemberPictureHead(archive, entry).head;
  } catch (const EReadError&) {
    return 0;
  }
  return head ? WrittenPictureSize(*head, pictureFile) : 0;
}

// The sizes of the regular files in `folder` that the unpack replaces, by name. A folder that
// cannot be listed holds none: it does not exist yet, or its first write fails anyway.
TFileSizes ReplacedSizes(const std::string& folder, const TFileSizes& written) {
  std::vector<TFolderEntry> listing;
  try {
    listing = ListFolder(folder);
  } catch (const EOSError&) {
    return {};
  }
  TFileSizes sizes;
  for (const TFolderEntry& entry : listing)
    if (entry.kind == TEntryKind::File && written.count(entry.name) != 0)
      sizes[entry.name] = RegularFileSize(folder + entry.name).value_or(0);
  return sizes;
}

// The free space where `folder` is or will be made: its own, or that of the nearest folder
// above it that exists.
std::optional<std::uint64_t> FreeSpaceFor(const std::string& folder) {
  std::string path = FullPathName(folder);
  for (;;) {
    if (const std::optional<std::uint64_t> free = FreeDiskSpace(path))
      return free;
    std::string parent = ParentFolder(path, SystemPathSyntax());
    if (parent.empty() || parent == path)
      return std::nullopt;
    path = std::move(parent);
  }
}

} // namespace

TUnpackPlan PlanUnpack(const std::vector<TDirectoryEntry>& entries,
                       const std::vector<std::string>& patterns, bool raw,
                       TPictureFile pictureFile) {
  TUnpackPlan plan;
  plan.pictureFile = pictureFile;
  plan.choosesAll = patterns.empty();
  plan.names.reserve(entries.size());
  plan.fileNames.reserve(entries.size());
  plan.chosen.assign(entries.size(), patterns.empty());
  plan.converted.assign(entries.size(), false);
  std::vector<bool> used(patterns.size(), false);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& name = plan.names.emplace_back(MemberName(entries[i].key, i));
    plan.converted[i] = !raw && IsPictureName(name);
    if (!plan.converted[i])
      plan.fileNames.push_back(name);
    else
      plan.fileNames.push_back(pictureFile == TPictureFile::Png ? PngFileName(name)
                                                                : MemberFileName(name));
    for (std::size_t p = 0; p < patterns.size(); ++p) {
      if (MatchesNamePattern(patterns[p], name))
        plan.chosen[i] = used[p] = true;
    }
  }
  for (std::size_t p = 0; p < patterns.size(); ++p) {
    if (!used[p])
      plan.unmatched.push_back(patterns[p]);
  }
  // Walking backwards, a file met before is written again later.
  plan.replacedLater.assign(entries.size(), false);
  std::unordered_set<std::string> seen;
  for (std::size_t i = entries.size(); i-- > 0;) {
    if (plan.chosen[i])
      plan.replacedLater[i] = !seen.insert(plan.fileNames[i]).second;
  }
  plan.files = seen.size();
  return plan;
}

std::uint64_t UnpackSpaceNeeded(const TFileSizes& written, const TFileSizes& replaced) {
  // A file is replaced only once its new one is whole, so for a moment both stand: what the
  // files grow by, plus the largest of those moments. At most 65535 files of less than 4 GiB
  // each: the sum fits with room to spare.
  std::uint64_t needed = 0, overlap = 0;
  for (const auto& [name, size] : written) {
    const auto old = replaced.find(name);
    const std::uint64_t oldSize = old == replaced.end() ? 0 : old->second;
    needed += size > oldSize ? size - oldSize : 0;
    overlap = std::max(overlap, std::min(size, oldSize));
  }
  return needed + overlap;
}

void CheckDiskSpace(const TFile& archive, const TCheckedDirectory& directory,
                    const TUnpackPlan& plan, const std::string& outputFolder) {
  TFileSizes written;
  for (std::size_t i = 0; i < directory.entries.size(); ++i) {
    if (plan.chosen[i] && !plan.replacedLater[i])
      written[plan.fileNames[i]] = WrittenSize(archive, directory.archiveSize, directory.entries[i],
                                               plan.converted[i], plan.pictureFile);
  }
  const std::uint64_t needed = UnpackSpaceNeeded(written, ReplacedSizes(outputFolder, written));
  if (needed == 0)
    return;
  const std::optional<std::uint64_t> free = FreeSpaceFor(outputFolder);
  if (free && needed > *free)
    throw Exception("Not enough disk space: the archive unpacks to " + std::to_string(needed) +
                    " bytes, " + std::to_string(*free) + " are free");
}

} // namespace vex
