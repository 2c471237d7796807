// vexagg list: an archive's directory as tab-separated rows, for scripts and for people.
#pragma once

#include <string>

namespace vex {

// The directory of the archive at `archivePath`: a header row, then one row per entry with
// its index, key (0x and four upper-case hex digits), the name the unpack writes it under,
// offset, size and kind ("raw", "picture WxH", or "picture (short)" for a picture member
// too short for its head or its pixels); "\n" ends each row. Every entry is checked before
// any row is made. Raises what opening the archive and reading its directory raise, and for
// a damaged entry what the unpack raises for it (ERangeError, EReadError), carrying the
// member's name as its subject.
std::string ListArchive(const std::string& archivePath);

} // namespace vex
