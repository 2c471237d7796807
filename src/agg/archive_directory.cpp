// The archive's directory, read and written field by field in little-endian order.
#include "archive_directory.h"

#include "exceptions.h"
#include "little_endian.h"

namespace vex {

namespace {

// Offsets of the fields inside a directory entry.
constexpr std::size_t EntryKeyAt = 0;
constexpr std::size_t EntryOffsetAt = 2;
constexpr std::size_t EntrySizeAt = 6;

TDirectoryEntry DecodeEntry(const std::uint8_t* p) {
  return {GetU16(p + EntryKeyAt), GetI32(p + EntryOffsetAt), GetI32(p + EntrySizeAt)};
}

} // namespace

std::vector<TDirectoryEntry> DecodeDirectory(TBytesView raw) {
  const std::size_t count = raw.size() / DirectoryEntrySize;
  std::vector<TDirectoryEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    entries.push_back(DecodeEntry(raw.data() + i * DirectoryEntrySize));
  return entries;
}

TEntryFault EntryFault(const TDirectoryEntry& entry, std::uint64_t archiveSize) {
  if (entry.size <= 0)
    return entry.size == 0 ? TEntryFault::None : TEntryFault::NegativeSize;
  if (entry.offset < 0)
    return TEntryFault::BeforeFile;
  const auto end =
      static_cast<std::uint64_t>(entry.offset) + static_cast<std::uint64_t>(entry.size);
  return end <= archiveSize ? TEntryFault::None : TEntryFault::PastEnd;
}

void CheckEntry(const TDirectoryEntry& entry, std::uint64_t archiveSize) {
  switch (EntryFault(entry, archiveSize)) {
  case TEntryFault::None:
    return;
  case TEntryFault::NegativeSize:
    throw ERangeError();
  case TEntryFault::BeforeFile:
  case TEntryFault::PastEnd:
    throw EReadError();
  }
}

TByteDynArray EncodeDirectory(const std::vector<TDirectoryEntry>& entries) {
  TByteDynArray directory;
  directory.reserve(ArchiveCountSize + DirectoryEntrySize * entries.size());
  PutU16(directory, static_cast<std::uint16_t>(entries.size())); // member count
  for (const TDirectoryEntry& entry : entries) {
    PutU16(directory, entry.key);    // key
    PutI32(directory, entry.offset); // offset
    PutI32(directory, entry.size);   // size
  }
  return directory;
}

std::int32_t ArchiveField(std::uint64_t value) {
  if (value > MaxArchiveField)
    throw Exception("Archive too large");
  return static_cast<std::int32_t>(value);
}

} // namespace vex
