// The loop that writes an archive's members into a folder.
#pragma once

#include "files.h"
#include "raw_image.h"

#include <functional>
#include <string>
#include <vector>

namespace vex {

// Which members an unpack writes, and where. The default is every member into the folder.
struct TUnpackChoice {
  // Names and patterns ("*", "?") of the members to write, matched against member names
  // ignoring the case of a to z; empty: every member.
  std::vector<std::string> patterns;
  // Pictures are written as stored, under the member's own name, as every other member is.
  bool raw = false;
  // Unless `raw`: what the pictures become, bitmap files (NAME.bmp) or PNG files (NAME.png).
  TPictureFile pictureFile = TPictureFile::Bitmap;
  // When set, the one file the chosen members leave goes here (standard output) instead of
  // into the folder, and no folder is made.
  TFile* sink = nullptr;
  // A file too short for its directory is told why (vexagg's "Not an archive: ..."), not with
  // the plain "Stream read error" that Marlovexine shows.
  bool explainDirectory = false;
  // Told the name of each file in the folder once it is written.
  std::function<void(const std::string& fileName)> written;
};

// Unpacks every member of the archive at `archivePath` into `outputFolder`, which must end
// with a path delimiter. Pictures take their format and colours from the palette template
// found from `appFolder` (see PaletteTemplatePath), read at the first picture. Each member's
// file is written whole under a temporary name and renamed over what stands at its name (see
// TReplacingFile); a member whose file a later member writes again is checked but not written.
// Raises EFOpenError when the archive cannot be opened, what ReadArchiveDirectory raises
// (EReadError for an archive shorter than its directory; with the archive's path as subject, a
// size or directory the system cannot read), Exception "Not enough disk space: ..." before
// anything is written (see CheckDiskSpace); then, carrying the member's name as its subject,
// EReadError for a member outside the archive or a read that fails, ERangeError for a negative
// size, EOutOfMemory for a picture, and whatever writing or converting a member raises; the
// failing member's name keeps what stood there. Files written before a failure stay.
// With a choice, members it does not choose are neither checked nor written. Returns the
// patterns that chose no member. With a sink, raises Exception before anything is written
// when the members chosen leave more than one file.
std::vector<std::string> UnpackArchive(const std::string& archivePath,
                                       const std::string& outputFolder,
                                       const std::string& appFolder,
                                       const TUnpackChoice& choice = {});

} // namespace vex
