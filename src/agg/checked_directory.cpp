// Reading a directory so that the user learns why it failed: a file that is no archive, a
// truncated one, or a disk that failed the read. The unpack keeps its own "Stream read error"
// for a file too short, and shares the rest.
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

[[noreturn]] void RaiseTooShort(TShortArchive shortArchive, const std::string& why,
                                const std::string& path) {
  if (shortArchive == TShortArchive::Plain)
    throw EReadError();
  RaiseNotAnArchive(": " + why, path);
}

// Reads bytes that the file's size holds: a read that still comes short is the system's
// failure, not the file's end, and the archive is the one to name.
void ReadHeldBytes(const TFile& archive, const std::string& path, std::uint64_t offset, void* data,
                   std::size_t count) {
  Concerning(path, [&] { archive.ReadExactAt(offset, data, count); });
}

void CheckMember(const TDirectoryEntry& entry, const std::string& name, std::uint64_t size,
                 const std::string& path) {
  const TEntryFault fault = EntryFault(entry, size);
  if (fault == TEntryFault::NegativeSize) // the unpack's own error, naming the member
    Concerning(name, [&] { CheckEntry(entry, size); });
  if (fault == TEntryFault::BeforeFile)
    RaiseNotAnArchive(": member " + name + " starts at offset " + std::to_string(entry.offset) +
                          ", before the file",
                      path);
  if (fault == TEntryFault::PastEnd) {
    const std::uint64_t end =
        static_cast<std::uint64_t>(entry.offset) + static_cast<std::uint64_t>(entry.size);
    RaiseNotAnArchive(", or a truncated one: member " + name + " ends at byte " + Text(end) +
                          ", the file has " + Text(size),
                      path);
  }
}

} // namespace

TCheckedDirectory ReadArchiveDirectory(const TFile& archive, const std::string& path,
                                       TShortArchive shortArchive) {
  TCheckedDirectory directory;
  const std::uint64_t size = Concerning(path, [&] { return archive.Size(); });
  directory.archiveSize = size;
  if (size < ArchiveCountSize)
    RaiseTooShort(shortArchive, Text(size) + " bytes cannot hold a member count", path);
  std::uint8_t count[ArchiveCountSize] = {};
  ReadHeldBytes(archive, path, 0, count, sizeof count);
  const std::size_t entries = GetU16(count);
  const std::uint64_t needed = ArchiveCountSize + DirectoryEntrySize * entries;
  if (needed > size)
    RaiseTooShort(shortArchive,
                  "its directory of " + Text(entries) + " entries needs " + Text(needed) +
                      " bytes, the file has " + Text(size),
                  path);
  TByteDynArray raw(DirectoryEntrySize * entries);
  ReadHeldBytes(archive, path, ArchiveCountSize, raw.data(), raw.size());
  directory.entries = DecodeDirectory(raw);
  return directory;
}

void NameMembers(TCheckedDirectory& directory) {
  directory.names.clear();
  directory.names.reserve(directory.entries.size());
  for (std::size_t i = 0; i < directory.entries.size(); ++i)
    directory.names.push_back(MemberName(directory.entries[i].key, i));
}

TCheckedDirectory ReadCheckedDirectory(const TFile& archive, const std::string& path) {
  TCheckedDirectory directory = ReadArchiveDirectory(archive, path, TShortArchive::Explained);
  NameMembers(directory);
  for (std::size_t i = 0; i < directory.entries.size(); ++i)
    CheckMember(directory.entries[i], directory.names[i], directory.archiveSize, path);
  return directory;
}

} // namespace vex
