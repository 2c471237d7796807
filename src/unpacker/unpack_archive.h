// The ".agg" archive and the loop that writes its members into a folder.
#pragma once

#include <cstdint>
#include <string>

namespace vex {

// Archive layout: a u16 member count, then one 10-byte directory entry per member.
constexpr std::size_t ArchiveCountSize = 2;
constexpr std::size_t DirectoryEntrySize = 10;

struct TDirectoryEntry {
  std::uint16_t key;   // index into the known-name table
  std::int32_t offset; // from the start of the archive
  std::int32_t size;   // 0 for an empty member
};

// The name under which the member now being processed is written; empty outside the loop.
// The error box reads it, so a failure leaves it as it was; the next unpack empties it first.
std::string& CurrentMemberName();

// Unpacks every member of the archive at `archivePath` into `outputFolder`, which must end
// with a path delimiter. Pictures take their format and colours from the palette template
// found from `appFolder` (see PaletteTemplatePath), read at the first picture. Raises EFOpenError
// when the archive cannot be opened, EReadError when it is shorter than its directory or a member
// lies outside it, ERangeError for a negative size, and whatever writing or converting a member
// raises. Files written before a failure stay.
void UnpackArchive(const std::string& archivePath, const std::string& outputFolder,
                   const std::string& appFolder);

} // namespace vex
