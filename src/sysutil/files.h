// Files and folders: an open file that closes itself, output files whose folders are made
// first, whole-buffer saving, copying between files, and the few other things the tool asks of
// the file system: whether a name exists, whether two names are one file, what a folder holds,
// and free space. The calls beneath them, which only the OS layer makes, are in files_os.h.
#pragma once

#include "bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vex {

// How a file is opened. The share modes matter on Windows only; POSIX has none.
enum class TOpenMode {
  ReadExclusive, // an existing file, read access, no sharing (the archive)
  ReadShareRead, // an existing file, read access, others may read (the palette template)
  CreateNew,     // create a file that must not exist yet, write access, no sharing but
                 // removal (so an interrupt can take it away while it is open); a link at the
                 // name counts as existing and is never followed
  ReadNoLink,    // as ReadShareRead, but a symbolic link (on Windows any reparse point) at the
                 // name itself is refused, never followed: files someone else put together
};

// An open file, closed by its destructor. Move-only.
class TFile {
public:
  TFile() = default;
  ~TFile();
  TFile(TFile&& other) noexcept : handle_(std::exchange(other.handle_, InvalidHandle)) {}
  TFile& operator=(TFile&& other) noexcept;
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;

  // Opens `path` as it stands (no folder is made). Returns a closed TFile when that fails,
  // with the system's last error set; raises nothing. Files are never created in place of
  // what stands at a name: a TReplacingFile is created beside it and renamed over it.
  static TFile Open(const std::string& path, TOpenMode mode);
  // As Open, but raises EFOpenError "Cannot open file \"%s\". %s" (reading) or EFCreateError
  // "Cannot create file \"%s\". %s" (creating), with the absolute path and the system's text.
  static TFile OpenOrRaise(const std::string& path, TOpenMode mode);
  // A new file without a name, in the folder `folder`, for writing; NameUnnamed gives it one
  // once it is whole, so that no run, however it ends, leaves a part of it anywhere. Not open
  // where the system has no such files (only Linux has them, and names them through /proc).
  static TFile CreateUnnamedIn(const std::string& folder);
  // Raises the error OpenOrRaise raises for `path` when the system's last error is why the
  // open failed.
  [[noreturn]] static void RaiseOpenError(const std::string& path, TOpenMode mode);
  // The process's standard output, for bytes that must reach it unchanged (Windows switches it
  // to binary): a duplicate of its handle, so that closing this file leaves it open. A closed
  // TFile, with the system's last error set, when there is none.
  static TFile StandardOutput();

  bool IsOpen() const { return handle_ != InvalidHandle; }
  // Closes the file and tells whether the system took it: false, with the system's last error
  // set, when closing reports a write error that no write did (network file systems and disk
  // quotas may say so only now). The file is closed either way. A file that was written must
  // be closed with this; the destructor closes silently, for paths that are failing already.
  bool Close();
  // Size of the file in bytes; raises EOSError when the system cannot tell.
  std::uint64_t Size() const;
  // Reads up to `count` bytes at `offset`, retrying short reads; returns how many arrived.
  std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t count) const;
  // Reads exactly `count` bytes at `offset` or raises EReadError.
  void ReadExactAt(std::uint64_t offset, void* data, std::size_t count) const;
  // Writes at the current position and returns the bytes written, which is less than `count`
  // only when the system failed, with its last error set. POSIX retries short writes and
  // EINTR; on Windows a call that takes less than it was given is a failure.
  std::size_t Write(const void* data, std::size_t count);
  // Asks the system to put the file's data on the disk before returning (fsync;
  // FlushFileBuffers). False on failure, the system's last error set.
  bool Flush();
  // Gives the file the permission bits of the file at `model`, when one is there (POSIX mode
  // bits; Windows has none to give and changes nothing). False on failure, the system's last
  // error set; true when there is no file at `model`.
  bool TakePermissionsOf(const std::string& model);
  // Sets aside room for `size` bytes of the file when a regular file stands at `replaced`,
  // which this one is to be renamed over. ext4 writes a file out at the rename that replaces
  // another when its blocks are still to be chosen; chosen now, nothing waits for them there.
  // Advice only: nothing is reported, and systems without it do nothing.
  void ReserveForReplacing(const std::string& replaced, std::uint64_t size);
  // Gives a file of CreateUnnamedIn the name `path`, where nothing may stand. False on
  // failure, the system's last error set (EEXIST where something stands there).
  bool NameUnnamed(const std::string& path) const;

private:
  friend void CopyBetweenFiles(const TFile& source, std::uint64_t offset, TFile& target,
                               std::uint64_t count);
  using Handle = std::intptr_t; // a file descriptor or a HANDLE
  static constexpr Handle InvalidHandle = -1;
  explicit TFile(Handle handle) : handle_(handle) {}
  Handle handle_ = InvalidHandle;
};

// Makes `path` and every missing parent folder, outermost first. False when creating a
// folder on the way fails (the system's last error tells why); raises nothing.
bool ForceFolder(const std::string& path);
// Whether a new file must be on the disk once it is in place. Members of an unpack are cached
// like any file the system writes; an archive or a template that replaces the user's own is
// flushed, so that a crash cannot leave its name on an empty file.
enum class TDurability { Cached, OnDisk };
// Replaces the file at `path` (making its folder) with `buffer`, whole or not at all, and with
// OnDisk put on the disk (see TReplacingFile; `what` names the file in Commit's message).
// Raises EOSError for the system's error, a failed close included; what stood at `path` then
// stays.
void SaveBufferToFile(const std::string& path, const TByteDynArray& buffer,
                      TDurability durability = TDurability::Cached,
                      const std::string& what = "file");
// Writes `count` bytes of `source`, from `offset` on, at the current position of `target`,
// so memory never grows with `count`: from InKernelCopyFrom bytes on through the system's
// in-kernel copy where it has one, which is faster for large files, else (and for the rest of
// a copy the kernel gave up on) through a buffer of at most CopyBufferSize bytes. Raises
// EReadError when `source` ends or fails before `count` bytes, EOSError with the system's
// error when writing fails.
constexpr std::size_t CopyBufferSize = std::size_t{1} << 20;
constexpr std::uint64_t InKernelCopyFrom = std::uint64_t{64} << 20;
void CopyBetweenFiles(const TFile& source, std::uint64_t offset, TFile& target,
                      std::uint64_t count);

// Whether anything at all stands at `path`: a file, a folder, even a link to nothing.
bool EntryExists(const std::string& path);
// Whether `a` and `b` name one existing file, however they spell it: through links, or on
// Windows in another case or form. The system's identity of the file decides (device and
// inode; volume serial and file index). False when either does not exist.
bool SameExistingFile(const std::string& a, const std::string& b);

// What stands at a name in a folder, seen without following a link.
enum class TEntryKind {
  File,   // a regular file
  Folder, // a folder
  Link,   // a symbolic link, or on Windows any reparse point (a junction too)
  Other,  // a FIFO, a socket, a device
};
struct TFolderEntry {
  std::string name;
  TEntryKind kind;
};
// The entries of `folder` ("." and ".." left out), in the order the system lists them: one
// pass over the folder, not a look at each name. Raises EOSError when the folder cannot be
// read (it does not exist, or is no folder).
std::vector<TFolderEntry> ListFolder(const std::string& folder);
// The size of the regular file at `path`, a link at that name not followed; nothing when no
// regular file stands there.
std::optional<std::uint64_t> RegularFileSize(const std::string& path);
// The bytes the user may still write on the file system that holds `path`; nothing when the
// system cannot tell (no such path).
std::optional<std::uint64_t> FreeDiskSpace(const std::string& path);

} // namespace vex
