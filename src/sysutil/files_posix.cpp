// Files on POSIX: file descriptors, positioned reads, exclusive creates and replacing renames,
// in-kernel copies on Linux, and folders made with mkdir.
#include "files.h"

#include "files_os.h"
#include "paths.h"
#include "system_error.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string_view>

namespace vex {

namespace {

int OpenRetryingInterrupts(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

} // namespace

namespace os {

bool CloseFileHandle(TFileHandle handle) {
  // Linux and macOS free the descriptor even when close fails with EINTR: it is never retried.
  return ::close(static_cast<int>(handle)) == 0;
}

std::optional<std::uint64_t> FileSize(TFileHandle handle) {
  struct stat info {};
  if (::fstat(static_cast<int>(handle), &info) != 0)
    return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

std::size_t ReadSomeAt(TFileHandle handle, std::uint64_t position, void* data, std::size_t count) {
  ssize_t got;
  do {
    got = ::pread(static_cast<int>(handle), data, count, static_cast<off_t>(position));
  } while (got < 0 && errno == EINTR);
  return got < 0 ? 0 : static_cast<std::size_t>(got);
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateOneFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0777) == 0;
}

} // namespace os

TFile TFile::StandardOutput() {
  std::fflush(stdout); // what the program printed before comes first
  const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
  return fd < 0 ? TFile() : TFile(fd);
}

// O_NONBLOCK keeps a named pipe from stalling the open until another process joins it: a
// pipe read end then opens and is refused below. A file being created is new, never a pipe;
// the flag stays set on it: for regular files it changes nothing, and it spares two calls a
// file.
TFile TFile::Open(const std::string& path, TOpenMode mode) {
  if (mode == TOpenMode::CreateNew) {
    // O_EXCL fails on any name that exists, a link to nowhere included, never following it.
    const int fd = OpenRetryingInterrupts(path, O_WRONLY | O_CREAT | O_EXCL);
    return fd < 0 ? TFile() : TFile(fd);
  }
  // A link refused by O_NOFOLLOW fails with ELOOP, in the same call that would have read it.
  const int fd =
      OpenRetryingInterrupts(path, O_RDONLY | (mode == TOpenMode::ReadNoLink ? O_NOFOLLOW : 0));
  if (fd < 0)
    return TFile();
  TFile file(fd);
  // Archives and templates are read at positions, which only a regular file offers. A
  // folder is refused as Windows refuses it; pipes and devices as no valid input.
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return TFile();
  if (!S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return TFile();
  }
  return file;
}

TFile TFile::CreateUnnamedIn(const std::string& folder) {
#if defined(__linux__) && defined(O_TMPFILE)
  // Without /proc such a file could not be named: it is never made then.
  static const bool canName = ::access("/proc/self/fd", X_OK) == 0;
  const int fd =
      canName ? OpenRetryingInterrupts(folder.empty() ? "." : folder, O_WRONLY | O_TMPFILE) : -1;
  return fd < 0 ? TFile() : TFile(fd);
#else
  (void)folder;
  return TFile();
#endif
}

bool TFile::NameUnnamed(const std::string& path) const {
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", static_cast<int>(handle_));
  return ::linkat(AT_FDCWD, self, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

std::size_t TFile::Write(const void* data, std::size_t count) {
  const auto* in = static_cast<const unsigned char*>(data);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(static_cast<int>(handle_), in + done, count - done);
    if (put < 0 && errno == EINTR)
      continue;
    if (put < 0)
      break;
    if (put == 0) {
      errno = ENOSPC; // a device that takes nothing and reports no error is full
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  return done;
}

// copy_file_range moves the bytes inside the kernel, without a pass through the program's
// memory, and on file systems that can it shares the blocks instead. Anything it refuses
// (another file system on older kernels, a file system without it, a read or write error)
// ends the kernel's part; the caller copies the rest through a buffer, which tells a read
// error from a write error. macOS has no such call.
std::uint64_t os::CopyInKernel(TFileHandle source, std::uint64_t offset, TFileHandle target,
                               std::uint64_t count) {
#if defined(__linux__)
  // At most 1 GiB a call, below the kernel's own cap of just under 2 GiB; a position past what
  // off_t holds is left to the buffer's reads, which fail it as a short file.
  constexpr std::uint64_t MaxCall = std::uint64_t{1} << 30;
  std::uint64_t done = 0;
  while (done < count && offset + done <= static_cast<std::uint64_t>(INT64_MAX)) {
    auto from = static_cast<off64_t>(offset + done);
    const ssize_t moved =
        ::copy_file_range(static_cast<int>(source), &from, static_cast<int>(target), nullptr,
                          static_cast<std::size_t>(std::min(count - done, MaxCall)), 0);
    if (moved < 0 && errno == EINTR)
      continue;
    if (moved <= 0)
      break;
    done += static_cast<std::uint64_t>(moved);
  }
  return done;
#else
  (void)source, (void)offset, (void)target, (void)count;
  return 0;
#endif
}

void TFile::ReserveForReplacing(const std::string& replaced, std::uint64_t size) {
#if defined(__linux__)
  // A new name costs no such write-out, and the reservation would only cost time there.
  struct stat standing {};
  if (size > 0 && size <= static_cast<std::uint64_t>(INT64_MAX) &&
      ::lstat(replaced.c_str(), &standing) == 0 && S_ISREG(standing.st_mode))
    (void)::fallocate(static_cast<int>(handle_), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size));
#else
  (void)replaced, (void)size;
#endif
}

bool EntryExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool SameExistingFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// rename replaces a file, a link or a pipe at `to` as an entry, never opening it; a folder at
// `to` fails with EISDIR, or ENOTEMPTY and the like, which the caller reports.
bool MoveFileReplacing(const std::string& from, const std::string& to, bool /*writeThrough*/) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

bool TFile::Flush() {
  return ::fsync(static_cast<int>(handle_)) == 0;
}

bool TFile::TakePermissionsOf(const std::string& model) {
  struct stat info {};
  if (::stat(model.c_str(), &info) != 0)
    return errno == ENOENT;
  return ::fchmod(static_cast<int>(handle_), info.st_mode & 07777) == 0;
}

// A rename is only durable once the folder that holds the name is: without this a crash
// could leave the folder naming the old file, or on some file systems an empty one.
bool FlushFolderOf(const std::string& path) {
  std::string folder = ExtractFilePath(path, SystemPathSyntax());
  if (folder.empty())
    folder = ".";
  const int fd = OpenRetryingInterrupts(folder, O_RDONLY | O_DIRECTORY);
  if (fd < 0)
    return false;
  const bool flushed = ::fsync(fd) == 0 || errno == EINVAL; // EINVAL: the file system cannot
  const int code = errno;
  ::close(fd);
  errno = code;
  return flushed;
}

namespace {

TEntryKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode))
    return TEntryKind::File;
  if (S_ISDIR(mode))
    return TEntryKind::Folder;
  return S_ISLNK(mode) ? TEntryKind::Link : TEntryKind::Other;
}

// The listing's own word on an entry, where the file system gives one; else a look at it.
TEntryKind KindOfEntry(const std::string& folder, const dirent& entry) {
  switch (entry.d_type) {
  case DT_REG:
    return TEntryKind::File;
  case DT_DIR:
    return TEntryKind::Folder;
  case DT_LNK:
    return TEntryKind::Link;
  case DT_UNKNOWN: {
    struct stat info {};
    const std::string path = IncludeTrailingDelimiter(folder, SystemPathSyntax()) + entry.d_name;
    return ::lstat(path.c_str(), &info) == 0 ? KindOfMode(info.st_mode) : TEntryKind::Other;
  }
  default:
    return TEntryKind::Other;
  }
}

struct TDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

std::vector<TFolderEntry> ListFolder(const std::string& folder) {
  const std::unique_ptr<DIR, TDirCloser> dir(::opendir(folder.c_str()));
  if (!dir)
    RaiseLastSystemError();
  std::vector<TFolderEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr)
      break;
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..")
      entries.push_back({std::string(name), KindOfEntry(folder, *entry)});
  }
  if (errno != 0)
    RaiseLastSystemError();
  return entries;
}

std::optional<std::uint64_t> RegularFileSize(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::uint64_t> FreeDiskSpace(const std::string& path) {
  struct statvfs info {};
  if (::statvfs(path.c_str(), &info) != 0)
    return std::nullopt;
  return std::uint64_t{info.f_bavail} * info.f_frsize;
}

} // namespace vex
