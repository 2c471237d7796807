// vexagg's reading of a directory: the unpack's checks, with messages that say why a file is
// no archive. The unpack keeps its own "Stream read error" for the same faults.
#include "checked_directory.h"

#include "exceptions.h"
#include "little_endian.h"
#include "member_names.h"

namespace vex {

namespace {

[[noreturn]] void RaiseNotAnArchive(const std::string& why, const std::string& path) {
  EStreamError failure("Not an archive" + why);
  failure.SetSubject(path);
  throw failure;
}

std::string Text(std::uint64_t value) {
  return std::to_string(value);
}

// The count and directory fit, since ReadDirectory reads them whole: only the sizes are told.
void CheckDirectoryFits(const TFile& archive, const std::string& path, std::uint64_t size) {
  std::uint8_t count[ArchiveCountSize] = {};
  if (size < ArchiveCountSize)
    RaiseNotAnArchive(": " + Text(size) + " bytes cannot hold a member count", path);
  archive.ReadExactAt(0, count, sizeof count);
  const std::uint64_t entries = GetU16(count);
  const std::uint64_t needed = ArchiveCountSize + DirectoryEntrySize * entries;
  if (needed > size)
    RaiseNotAnArchive(": its directory of " + Text(entries) + " entries needs " + Text(needed) +
                          " bytes, the file has " + Text(size),
                      path);
}

void CheckMember(const TDirectoryEntry& entry, const std::string& name, std::uint64_t size,
                 const std::string& path) {
  try {
    Concerning(name, [&] { CheckEntry(entry, size); });
  } catch (const EReadError&) {
    if (entry.offset < 0)
      RaiseNotAnArchive(": member " + name + " starts at offset " + std::to_string(entry.offset) +
                            ", before the file",
                        path);
    const std::uint64_t end =
        static_cast<std::uint64_t>(entry.offset) + static_cast<std::uint64_t>(entry.size);
    RaiseNotAnArchive(", or a truncated one: member " + name + " ends at byte " + Text(end) +
                          ", the file has " + Text(size),
                      path);
  }
}

} // namespace

TCheckedDirectory ReadCheckedDirectory(const TFile& archive, const std::string& path) {
  TCheckedDirectory directory;
  directory.archiveSize = archive.Size();
  CheckDirectoryFits(archive, path, directory.archiveSize);
  directory.entries = ReadDirectory(archive);
  for (std::size_t i = 0; i < directory.entries.size(); ++i) {
    directory.names.push_back(MemberName(directory.entries[i].key, i));
    CheckMember(directory.entries[i], directory.names.back(), directory.archiveSize, path);
  }
  return directory;
}

} // namespace vex
