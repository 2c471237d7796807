// TReplacingFile over the OS layer's exclusive create, replacing rename and removal: a new
// random name per file, guarded from before it exists, and taken away on every path that does
// not put it in place.
#include "replacing_file.h"

#include "exceptions.h"
#include "paths.h"
#include "system_error.h"

#include <chrono>
#include <cstdio>
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
  // 32 random bits: a name that a leftover or another run holds is passed over, and failing
  // this often means the folder takes no file at all, not that the names ran out.
  constexpr int Attempts = 100;
  static std::mt19937 random(RandomSeed());
  for (int n = 0; n < Attempts; ++n) {
    char part[9];
    std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(random()));
    temporaryPath_ = path_ + "." + part + ".tmp";
    interruptGuard_.Guard(temporaryPath_);
    file_ = TFile::Open(temporaryPath_, TOpenMode::CreateNew);
    if (file_.IsOpen())
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

void TReplacingFile::Discard() {
  if (temporaryPath_.empty())
    return;
  file_ = TFile(); // closed first: Windows removes no open file
  RemoveFile(temporaryPath_);
  temporaryPath_.clear();
  interruptGuard_.Release();
}

} // namespace vex
