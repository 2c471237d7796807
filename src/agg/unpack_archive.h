// The loop that writes an archive's members through a sink: a folder, or standard output.
#pragma once

#include "checked_directory.h"
#include "files.h"
#include "raw_image.h"
#include "unpack_plan.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vex {

// Which members an unpack writes. The default is every member.
struct TUnpackChoice {
  // Names and patterns ("*", "?") of the members to write, matched against member names
  // ignoring the case of a to z; empty: every member.
  std::vector<std::string> patterns;
  // Pictures are written as stored, under the member's own name, as every other member is.
  bool raw = false;
  // Unless `raw`: what the pictures become, bitmap files (NAME.bmp) or PNG files (NAME.png).
  TPictureFile pictureFile = TPictureFile::Bitmap;
  // Unless `raw`: when set, the template pictures are made in, already read (vexagg's
  // --palette), in place of the one at the template path; it must outlive the unpack.
  const TPaletteTemplate* paletteTemplate = nullptr;
  // A file too short for its directory is told why (vexagg's "Not an archive: ..."), not with
  // the plain "Stream read error" that Marlovexine shows.
  bool explainDirectory = false;
};

// Where an unpack's files go: the loop settles what each member becomes, a sink puts the
// bytes somewhere. A failure a sink raises leaves the loop carrying the member's name.
class TUnpackSink {
public:
  virtual ~TUnpackSink() = default;
  // Told the plan before any member is read; raises to refuse it, so that nothing is written.
  virtual void Begin(const TFile& archive, const TCheckedDirectory& directory,
                     const TUnpackPlan& plan) = 0;
  // The file `fileName` is `count` bytes of `archive` from `offset` on, a member as stored.
  virtual void CopyFile(const std::string& fileName, const TFile& archive, std::uint64_t offset,
                        std::uint64_t count) = 0;
  // The file `fileName` is `bytes`, a converted picture.
  virtual void WriteFile(const std::string& fileName, TBytesView bytes) = 0;
};

// The files go into a folder, `folder` a path ending with its delimiter. Begin raises Exception
// "Not enough disk space: ..." when the disk cannot take them (see CheckDiskSpace) and makes the
// folder (a folder that cannot be made fails the first member's write, whose message names the
// member; patterns that choose nothing make none). Each file is written whole under a temporary
// name and renamed over what stands at its name (see TReplacingFile); `written` is told the
// name of each once it is in place.
std::unique_ptr<TUnpackSink>
FolderSink(std::string folder, std::function<void(const std::string& fileName)> written = {});

// The one file the chosen members leave goes to `output`, open for writing (standard output),
// which must outlive the sink. Begin raises Exception "N members are chosen, and standard output
// takes one: name one member" when they leave more than one.
std::unique_ptr<TUnpackSink> StreamSink(TFile& output);

// Unpacks the members of the archive at `archivePath` that `choice` chooses into `sink`.
// Pictures take their format and colours from the palette template at `templatePath` (see
// PaletteTemplatePath), read at the first picture. A member whose file a later member writes
// again is checked but not written. Raises EFOpenError when the archive cannot be opened, what
// ReadArchiveDirectory raises (EReadError for an archive shorter than its directory; with the
// archive's path as subject, a size or directory the system cannot read), what the sink's
// Begin raises, before anything is written; then, carrying the member's name as its subject,
// EReadError for a member outside the archive or a read that fails, ERangeError for a negative
// size, EOutOfMemory for a picture, and whatever converting a member or the sink raises; the
// failing member's name keeps what stood there. Files written before a failure stay. Members
// the choice does not choose are neither checked nor written. Returns the patterns that chose
// no member.
// With `choice.paletteTemplate` set, pictures are made in that template, and none is read.
std::vector<std::string> UnpackArchive(const std::string& archivePath, TUnpackSink& sink,
                                       const std::string& templatePath,
                                       const TUnpackChoice& choice = {});

} // namespace vex
