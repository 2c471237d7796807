// vexagg update: a new archive from a base archive and a folder of edited files.
#pragma once

#include <string>

namespace vex {

struct TUpdateRequest {
  std::string basePath;     // BASE.agg: only read
  std::string folder;       // FOLDER: where the unpack wrote BASE's members
  std::string outPath;      // OUT.agg: never BASE itself (the caller makes sure)
  std::string templatePath; // the palette template, read when the first picture needs it
};

// Writes OUT with BASE's directory: the same entries, keys and order, the members laid out one
// after another right after the directory. A member comes from the file the unpack writes for
// it in FOLDER when that is there (for a name that BASE holds more than once, only its last
// entry's), else from BASE; a picture's empty file carries nothing and also keeps BASE's
// member. A member that stays empty keeps its offset as BASE has it.
//
// Everything is checked before anything is written: BASE's directory as the unpack checks it,
// every file in FOLDER as far as its size, and that every offset and size fits the archive's
// signed 32-bit fields (else Exception "Archive too large"). OUT is then written to a
// temporary file in its folder and renamed over OUT; a failure removes it, so OUT is never
// left half written, and an existing OUT stays as it was.
//
// Returns a line per picture taken from FOLDER: its member name, a tab, and how many of its
// pixels had no exact colour in the template. Raises what reading BASE, the files in FOLDER
// (see TPictureReader) and the template raises; EStreamError "File changed while the archive
// was written" for a file in FOLDER whose size changed between the checks and the writing;
// and what creating, writing or renaming OUT's temporary file raises. The failure's subject
// names what it concerns: the member for BASE, the file's path (FOLDER + name) for FOLDER,
// OUT's path for OUT; none for a failure of BASE's count or directory.
std::string UpdateArchive(const TUpdateRequest& request);

} // namespace vex
