// Files on Windows: ANSI CreateFileA handles with share modes, reads and writes in chunks one
// call takes, exclusive creates and replacing renames, and folders made with CreateDirectoryA.
#include "files.h"

#include "files_os.h"
#include "paths.h"
#include "system_error.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <algorithm>
#include <memory>
#include <string_view>

namespace vex {

namespace {

// A handle that closes itself, so that no early return leaves one open. Move-only.
class THandle {
public:
  explicit THandle(HANDLE handle) : handle_(handle) {}
  ~THandle() { Close(); }
  THandle(THandle&& other) noexcept : handle_(other.Release()) {}
  THandle& operator=(THandle&&) = delete;
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;

  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  // Gives the handle up to a new owner.
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  // Closes it now, where the next call needs it gone or the last error must be set after it.
  void Close() {
    if (IsValid())
      CloseHandle(Release());
  }

private:
  HANDLE handle_;
};

HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// The largest count one ReadFile or WriteFile call takes.
constexpr std::size_t MaxIoChunk = 0x40000000;

// The file's identity: its volume and its index on that volume. A zero access right opens
// anything, a folder too (FILE_FLAG_BACKUP_SEMANTICS), and shares it with everyone.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  const THandle handle(CreateFileA(path.c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return handle.IsValid() && GetFileInformationByHandle(handle.Get(), &info) != 0;
}

} // namespace

namespace os {

bool CloseFileHandle(TFileHandle handle) {
  return CloseHandle(AsHandle(handle)) != 0;
}

std::optional<std::uint64_t> FileSize(TFileHandle handle) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(AsHandle(handle), &size))
    return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

// An OVERLAPPED that carries the offset makes the read a positioned one, synchronous on a handle
// opened without FILE_FLAG_OVERLAPPED: one call, no SetFilePointer first, and each read starts
// where it says, wherever an earlier one left the file pointer. Past the end it fails
// (ERROR_HANDLE_EOF).
std::size_t ReadSomeAt(TFileHandle handle, std::uint64_t position, void* data, std::size_t count) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(position >> 32);
  DWORD got = 0;
  const auto chunk = static_cast<DWORD>(std::min(count, MaxIoChunk));
  return ReadFile(AsHandle(handle), data, chunk, &got, &at) ? got : 0;
}

// Windows has no in-kernel copy between two open handles at given positions.
std::uint64_t CopyInKernel(TFileHandle, std::uint64_t, TFileHandle, std::uint64_t) {
  return 0;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateOneFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

} // namespace os

TFile TFile::StandardOutput() {
  // The C runtime's text mode would turn each 0x0A byte written through it into "\r\n".
  _setmode(_fileno(stdout), _O_BINARY);
  std::fflush(stdout);
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_OUTPUT_HANDLE), GetCurrentProcess(),
                       &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return TFile();
  return TFile(reinterpret_cast<Handle>(copy));
}

TFile TFile::Open(const std::string& path, TOpenMode mode) {
  if (mode == TOpenMode::CreateNew) {
    // CREATE_NEW fails on any name that exists, a link included, never following it.
    THandle handle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.IsValid() ? TFile(reinterpret_cast<Handle>(handle.Release())) : TFile();
  }
  // The archive is read by nobody else meanwhile; the template may be read, never written.
  const bool noLink = mode == TOpenMode::ReadNoLink;
  const DWORD share = mode == TOpenMode::ReadExclusive ? 0 : FILE_SHARE_READ;
  THandle handle(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                             noLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0, nullptr));
  if (!handle.IsValid())
    return TFile();
  // With FILE_FLAG_OPEN_REPARSE_POINT the open reached the link itself: refuse it.
  BY_HANDLE_FILE_INFORMATION info{};
  if (noLink && (!GetFileInformationByHandle(handle.Get(), &info) ||
                 (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)) {
    handle.Close();
    SetLastError(ERROR_CANT_RESOLVE_FILENAME);
    return TFile();
  }
  // Archives and templates are read at positions, which only a disk file offers: a device
  // (NUL, CON) or a pipe is no valid input, and reading a pipe would stall the run.
  if (GetFileType(handle.Get()) != FILE_TYPE_DISK) {
    handle.Close();
    SetLastError(ERROR_INVALID_PARAMETER);
    return TFile();
  }
  return TFile(reinterpret_cast<Handle>(handle.Release()));
}

std::size_t TFile::Write(const void* data, std::size_t count) {
  // One WriteFile call per chunk of at most MaxIoChunk bytes, the most one call takes: a disk
  // file takes all of a chunk or fails. A call that reports success with fewer bytes is a
  // failure all the same; the last error is cleared before each call so that it then shows
  // the system's own word (0 when it said nothing) and not a code left by an earlier call.
  const auto* in = static_cast<const unsigned char*>(data);
  std::size_t done = 0;
  while (done < count) {
    const auto chunk = static_cast<DWORD>(std::min(count - done, MaxIoChunk));
    DWORD put = 0;
    SetLastError(ERROR_SUCCESS);
    const BOOL ok = WriteFile(AsHandle(handle_), in + done, chunk, &put, nullptr);
    done += put;
    if (!ok || put != chunk)
      break;
  }
  return done;
}

bool EntryExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameExistingFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return FileIdentity(a, first) && FileIdentity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// MOVEFILE_REPLACE_EXISTING replaces a file or a link at `to` as an entry, never writing
// through it; a folder, a link to a folder, a junction, a read-only file or one open elsewhere
// refuse it (access denied, a sharing violation), as they refuse removal.
bool MoveFileReplacing(const std::string& from, const std::string& to, bool writeThrough) {
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (writeThrough ? MOVEFILE_WRITE_THROUGH : 0);
  return MoveFileExA(from.c_str(), to.c_str(), flags) != 0;
}

// Windows has no file without a name: every output file goes the named way.
TFile TFile::CreateUnnamedIn(const std::string&) {
  return TFile();
}

bool TFile::NameUnnamed(const std::string&) const {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

// NTFS chooses a file's clusters as it is written, with nothing left over for a rename to do.
void TFile::ReserveForReplacing(const std::string&, std::uint64_t) {}

bool RemoveFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

bool TFile::Flush() {
  return FlushFileBuffers(AsHandle(handle_)) != 0;
}

// Windows files carry no mode bits; what they have (an ACL) the folder's inheritance gives.
bool TFile::TakePermissionsOf(const std::string&) {
  return true;
}

// NTFS journals the rename, and a durable MoveFileReplacing writes it through: nothing left to
// flush.
bool FlushFolderOf(const std::string&) {
  return true;
}

namespace {

TEntryKind KindOfAttributes(DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return TEntryKind::Link;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return TEntryKind::Folder;
  return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? TEntryKind::Other : TEntryKind::File;
}

// A search handle is closed with FindClose, not CloseHandle; the holder closes it on every way
// out, a raised error included (RaiseLastSystemError reads the code before anything unwinds).
struct TFindCloser {
  void operator()(HANDLE find) const { FindClose(find); }
};

} // namespace

std::vector<TFolderEntry> ListFolder(const std::string& folder) {
  const std::string pattern = IncludeTrailingDelimiter(folder, SystemPathSyntax()) + "*";
  WIN32_FIND_DATAA found{};
  const HANDLE first = FindFirstFileA(pattern.c_str(), &found);
  if (first == INVALID_HANDLE_VALUE)
    RaiseLastSystemError();
  const std::unique_ptr<void, TFindCloser> find(first);
  std::vector<TFolderEntry> entries;
  do {
    const std::string_view name = found.cFileName;
    if (name != "." && name != "..")
      entries.push_back({std::string(name), KindOfAttributes(found.dwFileAttributes)});
  } while (FindNextFileA(find.get(), &found));
  // The search ends with ERROR_NO_MORE_FILES; any other error is a folder not read whole.
  if (GetLastError() != ERROR_NO_MORE_FILES)
    RaiseLastSystemError();
  return entries;
}

std::optional<std::uint64_t> RegularFileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      KindOfAttributes(data.dwFileAttributes) != TEntryKind::File)
    return std::nullopt;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::optional<std::uint64_t> FreeDiskSpace(const std::string& path) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr))
    return std::nullopt;
  return available.QuadPart;
}

} // namespace vex
