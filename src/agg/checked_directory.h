// An archive's directory as vexagg reads it: every entry checked, and a file that is no archive
// (a text, a PNG, a truncated copy) told apart from a damaged one with the reason why.
#pragma once

#include "archive_directory.h"

#include <string>
#include <vector>

namespace vex {

struct TCheckedDirectory {
  std::vector<TDirectoryEntry> entries;
  std::vector<std::string> names; // MemberName of each entry
  std::uint64_t archiveSize = 0;
};

// Reads and checks the directory of `archive`, opened from `path`, before any member's data
// is read. Raises EStreamError with `path` as subject for a file too short for its member
// count ("Not an archive: N bytes cannot hold a member count"), for its directory ("Not an
// archive: its directory of N entries needs M bytes, the file has K"), or for a member outside
// it ("Not an archive, or a truncated one: member NAME ends at byte E, the file has K"; "Not
// an archive: member NAME starts at offset O, before the file"); ERangeError for a negative
// size, with the member's name as subject, as the unpack raises it.
TCheckedDirectory ReadCheckedDirectory(const TFile& archive, const std::string& path);

} // namespace vex
