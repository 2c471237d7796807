// vexagg list: an archive's directory as tab-separated rows, for scripts and for people.
#pragma once

#include <string>

namespace vex {

// The directory of the archive at `archivePath`: a header row, then one row per entry with
// its index, key (0x and four upper-case hex digits), the name the unpack writes it under,
// offset, size, kind ("raw", "picture WxH", or "picture (short)" for a picture member too
// short for its head or its pixels) and the name of the file the unpack writes
// ("boat.bkg.bmp" for the picture "boat.bkg"); "\n" ends each row. Every entry is checked
// before any row is made. Raises what opening the archive raises, and what
// ReadCheckedDirectory raises for a file that is no archive or a damaged entry.
std::string ListArchive(const std::string& archivePath);

} // namespace vex
