// vexagg update: a new archive from a base archive and a folder of edited files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vex {

struct TUpdateRequest {
  std::string basePath;     // BASE.agg: only read
  std::string folder;       // FOLDER: where the unpack wrote BASE's members
  std::string outPath;      // OUT.agg: never BASE itself (the caller makes sure)
  std::string templatePath; // the palette template, read when the first picture needs it
  bool add = false;         // files of known names that BASE lacks become new members
  bool resize = false;      // a picture may come back at another size
  bool dryRun = false;      // everything but writing OUT
  // The index transparent pixels take; none: a picture with such pixels fails the update.
  std::optional<std::uint8_t> transparentIndex = std::nullopt;
};

// What the user is told: `changes` for standard output, `notes` for standard error.
struct TUpdateReport {
  // A line per member whose bytes differ from BASE's, tab-separated: its name, "replaced" or
  // "added", and for a picture the pixels whose index changed and how many of those had no
  // exact colour in the template; then "N transparent" and "N partly transparent" when it
  // has such pixels (see TPictureReader), which give a picture whose bytes stay BASE's a
  // line too, marked "unchanged".
  std::string changes;
  // A line per entry of FOLDER left out ("left out: NAME (why)"), then one summary line.
  std::string notes;
};

// Writes OUT with BASE's directory: the same entries, keys and order, the members laid out one
// after another right after the directory, and with `add` the new members after them, in
// name order. FOLDER is listed once; a file matches a member when its name is the one the
// unpack writes for it, ignoring the case of a to z. A member comes from its file when there
// is one (for a name that BASE holds more than once, only its last entry's), else from BASE;
// a picture's empty file carries nothing and also keeps BASE's member. A member that stays
// empty keeps its offset as BASE has it.
//
// Everything is checked before anything is written: BASE's directory as the unpack checks it,
// every file in FOLDER as far as its size, and that every offset and size fits the archive's
// signed 32-bit fields (else Exception "Archive too large"). OUT is then written to a
// temporary file in its folder (removed on Ctrl-C and the like), put on the disk, and renamed
// over OUT, whose permission bits it keeps; a failure removes it, so OUT is never left half
// written, and an existing OUT stays as it was. With `dryRun` no file is created at all.
//
// Raises what listing FOLDER raises (see MatchFolderToMembers: Exception "No such folder: ..."
// or "Not a folder: ..." for a FOLDER that is none); Exception for two files matching one
// member, a symbolic link where a file would be read, a file of an unknown name with `add`,
// and a picture of another size than BASE's without `resize`; what reading BASE, the files in
// FOLDER (see TPictureReader) and the template raises; EStreamError "File changed while the
// archive was written" for a file in FOLDER whose size changed between the checks and the
// writing, EReadError for a read of it that the system fails; and what creating, writing,
// flushing or renaming OUT's temporary file raises (see TReplacingFile::Commit). The
// failure's subject names what it concerns: the member for BASE, the file's path (FOLDER +
// name) for FOLDER, OUT's path for OUT; BASE's path for a file that is no archive, or whose
// size or directory the system cannot read.
TUpdateReport UpdateArchive(const TUpdateRequest& request);

} // namespace vex
