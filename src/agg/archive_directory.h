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
std::vector<TDirectoryEntry> DecodeDirectory(const TByteDynArray& raw);

// Whether the entry's data lies inside an archive of `archiveSize` bytes: a size of 0, or a
// positive size at an offset that is not negative, ending at or before the end.
bool EntryInside(const TDirectoryEntry& entry, std::uint64_t archiveSize);

// Checks that the entry's data can be read from an archive of `archiveSize` bytes, before
// anything is allocated for it. A member of size 0 passes whatever its offset. Raises
// ERangeError for a negative size, EReadError for a negative offset or data past the end.
void CheckEntry(const TDirectoryEntry& entry, std::uint64_t archiveSize);

// The bytes of the member count and the directory, in archive order. At most 65535 entries.
TByteDynArray EncodeDirectory(const std::vector<TDirectoryEntry>& entries);

// `value` as an offset or size field. Raises Exception "Archive too large" when the archive's
// signed 32-bit fields cannot hold it.
std::int32_t ArchiveField(std::uint64_t value);

} // namespace vex
