// The ".agg" archive's directory: its layout, its bytes decoded and encoded, and the checks an
// entry must pass before its data is read. The unpack loop and vexagg read and write archives
// through these and ReadArchiveDirectory alone, so both judge an archive alike.
#pragma once

#include "files.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vex {

// Archive layout: a u16 member count, then one 10-byte directory entry per member, then the
// members' data wherever the entries say.
constexpr std::size_t ArchiveCountSize = 2;
constexpr std::size_t DirectoryEntrySize = 10;
// Offsets and sizes are signed 32-bit fields: no member may lie or reach beyond this.
constexpr std::uint64_t MaxArchiveField = 0x7FFFFFFF;

struct TDirectoryEntry {
  std::uint16_t key;   // index into the known-name table
  std::int32_t offset; // from the start of the archive
  std::int32_t size;   // 0 for an empty member
};

// The entries held in `raw`, the directory's bytes after the member count, one per
// DirectoryEntrySize bytes. Reading them is ReadArchiveDirectory's (checked_directory.h).
std::vector<TDirectoryEntry> DecodeDirectory(TBytesView raw);

// What is wrong with an entry's place in an archive, or None: its data can be read.
enum class TEntryFault {
  None,
  NegativeSize, // a size below 0
  BeforeFile,   // a positive size at a negative offset
  PastEnd,      // a positive size whose data ends after the archive
};

// The fault of the entry in an archive of `archiveSize` bytes. A member of size 0 has none,
// whatever its offset: it has no data to read.
TEntryFault EntryFault(const TDirectoryEntry& entry, std::uint64_t archiveSize);

// Checks that the entry's data can be read, before anything is allocated for it: raises
// ERangeError for a negative size and EReadError for the other faults, as the unpack always
// has. Callers that explain a fault ask EntryFault.
void CheckEntry(const TDirectoryEntry& entry, std::uint64_t archiveSize);

// The bytes of the member count and the directory, in archive order. At most 65535 entries.
TByteDynArray EncodeDirectory(const std::vector<TDirectoryEntry>& entries);

// `value` as an offset or size field. Raises Exception "Archive too large" when the archive's
// signed 32-bit fields cannot hold it.
std::int32_t ArchiveField(std::uint64_t value);

} // namespace vex
