// Files on POSIX: file descriptors, positioned reads, output files always made anew in place of
// what stood at their name, in-kernel copies on Linux, and folders made with mkdir.
#include "files.h"

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

// How often a name is taken away for an output file before the open gives up: more than once
// only when another process makes a new entry there as fast as the tool removes the old one
// (two runs unpacking into one folder), and each removal lets one of them through.
constexpr int NameRemovals = 8;

int OpenRetryingInterrupts(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Whether a folder stands at `path`, a link to one not followed.
bool FolderAt(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An output file is always a new file. Opening what stands at the name would write through
// it: into the file a hard link shares its data with, wherever a symbolic link points, to
// the reader of a pipe; and truncating a file another run is writing tears it. So the create
// is exclusive (O_EXCL, which also never follows a link at the name), and when the name is
// taken its entry is removed, never what it points to, and the create tried again. A new
// name, the common case, costs the one open it always did. A folder keeps the error that
// opening it for writing gives (EISDIR); other entries that may not be removed fail with the
// removal's error. Links further up the path are the user's own choice of folder.
int CreateOutputFile(const std::string& path) {
  constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
  for (int removals = 0;; ++removals) {
    const int fd = OpenRetryingInterrupts(path, flags);
    if (fd >= 0 || errno != EEXIST || removals == NameRemovals)
      return fd;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
      // Linux says EISDIR for a folder, other systems EPERM.
      if (FolderAt(path))
        errno = EISDIR;
      return -1;
    }
  }
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

TFile::~TFile() {
  if (handle_ != InvalidHandle)
    ::close(static_cast<int>(handle_));
}

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    if (handle_ != InvalidHandle)
      ::close(static_cast<int>(handle_));
    handle_ = std::exchange(other.handle_, InvalidHandle);
  }
  return *this;
}

bool TFile::Close() {
  if (handle_ == InvalidHandle)
    return true;
  // The descriptor is gone whatever close reports, so it is never closed twice; a failure is
  // data that did not reach the disk (network file systems and quotas report it only here).
  return ::close(static_cast<int>(std::exchange(handle_, InvalidHandle))) == 0;
}

TFile TFile::StandardOutput() {
  std::fflush(stdout); // what the program printed before comes first
  const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
  return fd < 0 ? TFile() : TFile(fd);
}

// O_NONBLOCK keeps a named pipe from stalling the open until another process joins it: a
// pipe read end then opens and is refused below. Output files never open what stands at their
// name, a pipe included; the flag stays set on them: for regular files it changes nothing,
// and it spares two calls a file.
TFile TFile::Open(const std::string& path, TOpenMode mode) {
  if (mode == TOpenMode::CreateAlways || mode == TOpenMode::CreateNew) {
    // O_EXCL fails on any name that exists, a link to nowhere included, never following it.
    const int fd = mode == TOpenMode::CreateAlways
                       ? CreateOutputFile(path)
                       : OpenRetryingInterrupts(path, O_WRONLY | O_CREAT | O_EXCL);
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

std::uint64_t TFile::Size() const {
  struct stat info {};
  if (::fstat(static_cast<int>(handle_), &info) != 0)
    RaiseLastSystemError();
  return static_cast<std::uint64_t>(info.st_size);
}

std::size_t TFile::ReadAt(std::uint64_t offset, void* data, std::size_t count) const {
  auto* out = static_cast<unsigned char*>(data);
  std::size_t done = 0;
  while (done < count) {
    const std::uint64_t position = offset + done;
    if (position > static_cast<std::uint64_t>(INT64_MAX))
      break;
    const ssize_t got =
        ::pread(static_cast<int>(handle_), out + done, count - done, static_cast<off_t>(position));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      break;
    done += static_cast<std::size_t>(got);
  }
  return done;
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

// copy_file_range moves the bytes inside the kernel, and on file systems that can it shares
// the blocks instead. Anything it refuses (another file system on older kernels, a file
// system without it, a read or write error) ends the kernel's part; the caller copies the
// rest through a buffer, which tells a read error from a write error.
bool ForceFolder(const std::string& path) {
  if (path.empty() || DirectoryExists(path))
    return true;
  // At a root the parent comes out as the path itself: the climb stops there.
  const std::string parent = ParentFolder(FullPathName(path), SystemPathSyntax());
  return parent == path || (ForceFolder(parent) && ::mkdir(path.c_str(), 0777) == 0);
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

bool MoveFileReplacing(const std::string& from, const std::string& to) {
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
