// A file written under a temporary name beside the one it is for, and renamed over that name
// only once whole: the name always holds what stood there before or the whole new file, never
// a part, whatever stops the run (a failed write or read, an interrupt, a crash).
#pragma once

#include "files.h"
#include "interrupts.h"

#include <functional>
#include <string>

namespace vex {

class TReplacingFile {
public:
  // Creates the temporary file "PATH.XXXXXXXX.tmp" (eight random hexadecimal digits) in the
  // folder of `path`; with `makeFolder`, making that folder first when the file cannot be
  // created without it, so that a folder that cannot be made fails with its own error. An interrupt
  // removes the file from before it exists until it is renamed. OnDisk files take the permission
  // bits of the file they replace. Raises nothing: IsOpen() is false, with the system's last error
  // set, when any step fails, and nothing is left behind.
  TReplacingFile(std::string path, TDurability durability, bool makeFolder = true);
  // Removes the temporary file unless it was put in place.
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  bool IsOpen() const { return file_.IsOpen(); }
  TFile& File() { return file_; }
  // Room for the `size` bytes the file will hold (see TFile::ReserveForReplacing).
  void Reserve(std::uint64_t size) { file_.ReserveForReplacing(path_, size); }
  const std::string& TemporaryPath() const { return temporaryPath_; }

  // Flushes the file (OnDisk) and closes it. False, with the system's last error set, when the
  // system reports a write error: the data may not be whole.
  bool Finish();
  // Renames the finished file over the path, replacing whatever but a folder stands there (a
  // file, a link, a pipe: never opened, so nothing it points to is written). False, with the
  // system's last error set, when the name may not be replaced; the temporary file then goes.
  // OnDisk: what is in place after it is the new file, but see FlushFolder.
  bool Replace();
  // OnDisk: puts the rename itself on the disk (the folder). False, with the system's last
  // error set, when that fails: the new file is in place but may be lost in a crash.
  bool FlushFolder() const;

  // Finish and Replace, raising EOSError for the system's error (the name keeps what stood
  // there); OnDisk then FlushFolder, raising Exception "The new WHAT is in place, but may not
  // be on the disk yet: REASON" when it fails, `what` naming the file for the user.
  void Commit(const std::string& what = "file");

private:
  // One try at a new temporary name, until one is free; false, the system's last error set,
  // when the folder takes no new file.
  bool CreateTemporary();
  // Tries temporary names (temporaryPath_, guarded) until `make` takes one; false, the
  // system's last error set, when it fails for another reason than a name that is taken.
  bool TakeTemporaryName(const std::function<bool()>& make);
  // Replace for a file made without a name.
  bool NameUnnamed();
  // Takes the temporary file away, if one is there.
  void Discard();

  std::string path_;
  TDurability durability_;
  std::string temporaryPath_; // empty once nothing of ours stands there
  TFile file_;
  TFile unnamedFile_; // a file without a name, finished and waiting for one
  TRemoveOnInterrupt interruptGuard_;
};

} // namespace vex
