// TReplacingFile over the OS layer's exclusive create, replacing rename and removal: a new
// random name per file, guarded from before it exists, and taken away on every path that does
// not put it in place.
#include "replacing_file.h"

#include "exceptions.h"
#include "files_os.h"
#include "paths.h"
#include "system_error.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <utility>

namespace vex {

namespace {

// Two runs started in the same instant still differ: the clock, and the system's own entropy
// where the library reaches it.
std::uint32_t RandomSeed() {
  std::random_device device;
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  return device() ^ static_cast<std::uint32_t>(now) ^ static_cast<std::uint32_t>(now >> 32);
}

} // namespace

TReplacingFile::TReplacingFile(std::string path, TDurability durability, bool makeFolder)
    : path_(std::move(path)), durability_(durability) {
  // Where nothing stands yet, the file is made without a name and named once whole: no run,
  // however it ends (SIGKILL, a crash), leaves a part of it, and no rename is paid for. The
  // durable files and every other system take the temporary name.
  if (durability_ == TDurability::Cached && !EntryExists(path_)) {
    file_ = TFile::CreateUnnamedIn(ExtractFilePath(path_, SystemPathSyntax()));
    if (file_.IsOpen())
      return;
  }
  // The folder nearly always exists: try the file first and spare a folder test per member.
  // Any failure goes the long way, folder first, so the error reported is the one of the
  // folder that could not be made.
  if (!CreateTemporary() &&
      (!makeFolder || !ForceFolder(ExtractFilePath(path_, SystemPathSyntax())) ||
       !CreateTemporary()))
    return;
  // An archive the user made read-only for others stays so once replaced.
  if (durability_ == TDurability::OnDisk && !file_.TakePermissionsOf(path_)) {
    const TSavedSystemError why;
    Discard();
  }
}

TReplacingFile::~TReplacingFile() {
  Discard();
}

bool TReplacingFile::CreateTemporary() {
  return TakeTemporaryName([this] {
    file_ = TFile::Open(temporaryPath_, TOpenMode::CreateNew);
    return file_.IsOpen();
  });
}

bool TReplacingFile::TakeTemporaryName(const std::function<bool()>& make) {
  // 32 random bits: a name that a leftover or another run holds is passed over, and failing
  // this often means the folder takes no file at all, not that the names ran out.
  constexpr int Attempts = 100;
  static std::mt19937 random(RandomSeed());
  for (int n = 0; n < Attempts; ++n) {
    char part[9];
    std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(random()));
    temporaryPath_ = path_ + "." + part + ".tmp";
    interruptGuard_.Guard(temporaryPath_);
    if (make())
      return true;
    // Neither step touches the system's last error, which tells the caller why.
    interruptGuard_.Release();
    temporaryPath_.clear();
    if (!IsAlreadyExistsError(LastSystemError()))
      return false;
  }
  return false;
}

bool TReplacingFile::Finish() {
  // A file without a name stays open until it has one: closing it would take it away.
  if (temporaryPath_.empty() && file_.IsOpen()) {
    unnamedFile_ = std::move(file_);
    file_ = TFile();
    return true;
  }
  // A close error is a write error: the data may not be on the disk.
  const bool flushed = durability_ == TDurability::Cached || file_.Flush();
  if (!flushed) {
    const TSavedSystemError why;
    file_ = TFile();
    return false;
  }
  return file_.Close();
}

bool TReplacingFile::Replace() {
  if (unnamedFile_.IsOpen())
    return NameUnnamed();
  if (!MoveFileReplacing(temporaryPath_, path_, durability_ == TDurability::OnDisk)) {
    const TSavedSystemError why;
    Discard();
    return false;
  }
  temporaryPath_.clear();
  interruptGuard_.Release();
  return true;
}

bool TReplacingFile::FlushFolder() const {
  return FlushFolderOf(path_);
}

void TReplacingFile::Commit(const std::string& what) {
  if (!Finish() || !Replace())
    RaiseLastSystemError();
  if (durability_ == TDurability::OnDisk && !FlushFolder())
    throw Exception("The new " + what + " is in place, but may not be on the disk yet: " +
                    SystemErrorText(LastSystemError()));
}

// Named where nothing stands, then closed: a close that reports a write error takes the name
// away again, nothing having stood there. Something that came to stand at the name meanwhile
// (another run into the same folder) is replaced as a named temporary file replaces it.
bool TReplacingFile::NameUnnamed() {
  if (unnamedFile_.NameUnnamed(path_)) {
    if (unnamedFile_.Close())
      return true;
    const TSavedSystemError why;
    RemoveFile(path_);
    return false;
  }
  if (!IsAlreadyExistsError(LastSystemError()) ||
      !TakeTemporaryName([this] { return unnamedFile_.NameUnnamed(temporaryPath_); }))
    return false;
  if (!unnamedFile_.Close()) {
    const TSavedSystemError why;
    Discard();
    return false;
  }
  return Replace();
}

void TReplacingFile::Discard() {
  if (temporaryPath_.empty())
    return;
  file_ = TFile(); // closed first: Windows removes no open file
  RemoveFile(temporaryPath_);
  temporaryPath_.clear();
  interruptGuard_.Release();
}

} // namespace vex
