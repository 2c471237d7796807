// The ".agg" archive's directory: its layout, reading it, the checks an entry must pass before
// its data is read, and the names its members are written under. The unpack loop and vexagg
// read archives through these alone, so both judge an archive alike.
#pragma once

#include "files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vex {

// Archive layout: a u16 member count, then one 10-byte directory entry per member.
constexpr std::size_t ArchiveCountSize = 2;
constexpr std::size_t DirectoryEntrySize = 10;

struct TDirectoryEntry {
  std::uint16_t key;   // index into the known-name table
  std::int32_t offset; // from the start of the archive
  std::int32_t size;   // 0 for an empty member
};

// Reads the member count and the directory. Raises EReadError when the archive is shorter.
std::vector<TDirectoryEntry> ReadDirectory(const TFile& archive);

// Checks that the entry's data can be read from an archive of `archiveSize` bytes, before
// anything is allocated for it. A member of size 0 passes whatever its offset. Raises
// ERangeError for a negative size, EReadError for a negative offset or data past the end.
void CheckEntry(const TDirectoryEntry& entry, std::uint64_t archiveSize);

// The member's name: its known name (the table must be filled), else "file_N" with its index.
std::string MemberName(std::uint16_t key, std::size_t index);

// Whether the member named `name` is a raw 8-bit picture: its extension is ".bmp" or ".bkg",
// ignoring the case of a to z.
bool IsPictureName(const std::string& name);
// The name of the file the unpack writes the member `name` as: the name itself, or for a
// ".bkg" picture the name with ".bmp" appended.
std::string MemberFileName(const std::string& name);

} // namespace vex
