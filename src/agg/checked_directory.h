// An archive's directory read with every fault told apart: a file too short for what its start
// says (no archive, or a truncated one), a read or a size query that the system fails (a disk
// error, which names the archive), and with the reasons vexagg gives, each entry checked.
#pragma once

#include "archive_directory.h"

#include <string>
#include <vector>

namespace vex {

struct TCheckedDirectory {
  std::vector<TDirectoryEntry> entries;
  std::vector<std::string> names; // MemberName of each entry; ReadArchiveDirectory leaves none
  std::uint64_t archiveSize = 0;
};

// How a file too short for its member count or directory is told.
enum class TShortArchive {
  Plain,     // EReadError "Stream read error" without a subject, as Marlovexine has always said
  Explained, // EStreamError "Not an archive: ..." with the archive's path (see below)
};

// Reads the size, member count and directory of `archive`, opened from `path`, before any
// member's data. With `path` as subject: EOSError when the system cannot tell the size, and
// EReadError when a read the file's size holds fails all the same (a disk error). A file too
// short for its count or directory raises as `shortArchive` says: Explained gives EStreamError
// "Not an archive: N bytes cannot hold a member count" or "Not an archive: its directory of N
// entries needs M bytes, the file has K".
TCheckedDirectory ReadArchiveDirectory(const TFile& archive, const std::string& path,
                                       TShortArchive shortArchive);

// Gives every entry of `directory` its MemberName, in `names`.
void NameMembers(TCheckedDirectory& directory);

// ReadArchiveDirectory, Explained, then every entry named and checked. Raises what that
// raises; EStreamError with `path` as subject for a member outside the file ("Not an archive,
// or a truncated one: member NAME ends at byte E, the file has K"; "Not an archive: member
// NAME starts at offset O, before the file"); ERangeError for a negative size, with the
// member's name as subject, as the unpack raises it.
TCheckedDirectory ReadCheckedDirectory(const TFile& archive, const std::string& path);

} // namespace vex
