// The Windows side of the OS layer: the ANSI Win32 calls, GetLastError codes with their system
// texts, "\" and ":" as path delimiters with the code page's double-byte rule, file handles
// with share modes, and real message boxes.
#include "app_folder.h"
#include "command_line.h"
#include "console.h"
#include "exceptions.h"
#include "files.h"
#include "message_box.h"
#include "paths.h"
#include "platform.h"
#include "system_error.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace vex {

std::uint32_t LastSystemError() {
  return GetLastError();
}

std::string platform::RawSystemErrorText(std::uint32_t code) {
  // 0x3200: the system's own message table, inserts left as they stand. A text that does not
  // fit the buffer makes the call fail, and the text is then empty.
  constexpr DWORD flags =
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY;
  static_assert(flags == 0x3200);
  char buffer[256];
  const DWORD length = FormatMessageA(flags, nullptr, code, 0, buffer, sizeof buffer, nullptr);
  return std::string(buffer, length);
}

// ---------------------------------------------------------------------------------------------
// Paths

namespace {

// The lead bytes of the ANSI code page, from the ranges that GetCPInfo reports. Read once: the
// code page of a process does not change while it runs.
const std::array<bool, 256>& AnsiLeadBytes() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> lead{};
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info)) {
      // Pairs of first and last byte, ended by a pair of zeros.
      for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1] && b < 256; ++b)
          lead[b] = true;
    }
    return lead;
  }();
  return table;
}

bool IsAnsiLeadByte(unsigned char c) {
  return AnsiLeadBytes()[c];
}

} // namespace

const TPathSyntax& SystemPathSyntax() {
  // Double-byte characters are looked for only where the system says it handles them.
  static const TPathSyntax syntax{
      "\\:", '\\', GetSystemMetrics(SM_DBCSENABLED) != 0 ? &IsAnsiLeadByte : nullptr};
  return syntax;
}

std::string FullPathName(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0)
    return path; // no absolute form (an empty or invalid name): the path names itself
  if (length < MAX_PATH)
    return std::string(buffer, length);
  // Longer than the usual limit: the call reported the room it needs. A cut path would name a
  // different file in messages and a different parent in ForceFolder.
  std::string longer(length, '\0');
  const DWORD got = GetFullPathNameA(path.c_str(), length, longer.data(), nullptr);
  longer.resize(got > 0 && got < length ? got : 0);
  return longer.empty() ? path : longer;
}

// ---------------------------------------------------------------------------------------------
// The executable's folder

std::string ExecutableFolder() {
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  // A path that fills the whole buffer was cut short; a cut path would point the palette
  // template at the wrong folder, so ask again with more room (the system's limit is 32767).
  while (length == buffer.size() && buffer.size() < 32768) {
    buffer.resize(buffer.size() * 2);
    length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  return ExtractFilePath(std::string_view(buffer.data(), length), SystemPathSyntax());
}

const std::vector<std::string>& InstalledDataFolders() {
  // The ZIP keeps the executable and the files it needs side by side.
  static const std::vector<std::string> none;
  return none;
}

// ---------------------------------------------------------------------------------------------
// Files

namespace {

HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// The largest count one ReadFile or WriteFile call takes.
constexpr std::size_t MaxIoChunk = 0x40000000;

} // namespace

TFile::~TFile() {
  if (handle_ != InvalidHandle)
    CloseHandle(AsHandle(handle_));
}

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    if (handle_ != InvalidHandle)
      CloseHandle(AsHandle(handle_));
    handle_ = std::exchange(other.handle_, InvalidHandle);
  }
  return *this;
}

bool TFile::Close() {
  if (handle_ == InvalidHandle)
    return true;
  // The handle is not used again whatever the call reports; a failure is data that did not
  // reach the disk (a network share may report it only here).
  return CloseHandle(AsHandle(std::exchange(handle_, InvalidHandle))) != 0;
}

namespace {

// How often a link at an output file's name is removed before the open gives up: more than
// once only when someone plants a new link as fast as the tool removes the old one.
constexpr int LinkRemovals = 4;

// Whether an output open that found something at its name (the common case, a new name, asks
// nothing) reached a symbolic link or other reparse point rather than a plain file.
bool ReplacedALink(HANDLE handle, DWORD code) {
  BY_HANDLE_FILE_INFORMATION info{};
  return code == ERROR_ALREADY_EXISTS && GetFileInformationByHandle(handle, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// An output file never follows a symbolic link at its own name: a link planted in the output
// folder would carry the member's bytes wherever it points. With FILE_FLAG_OPEN_REPARSE_POINT
// the open reaches the link itself, never its target; the link is then deleted (DeleteFileA
// removes a link, not its target) and the open tried again. A folder link or junction refuses
// to open as a file, as a folder does, and stays with its folder untouched. Links further up
// the path are the user's own choice of folder and are followed.
HANDLE CreateOutputFile(const std::string& path) {
  for (int removals = 0;; ++removals) {
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    const DWORD code = GetLastError();
    if (handle == INVALID_HANDLE_VALUE || !ReplacedALink(handle, code)) {
      SetLastError(code); // the open's own word, not that of the look at what it found
      return handle;
    }
    CloseHandle(handle);
    if (removals == LinkRemovals) {
      SetLastError(ERROR_CANT_RESOLVE_FILENAME);
      return INVALID_HANDLE_VALUE;
    }
    if (!DeleteFileA(path.c_str()))
      return INVALID_HANDLE_VALUE;
  }
}

} // namespace

TFile TFile::Open(const std::string& path, TOpenMode mode) {
  if (mode == TOpenMode::CreateAlways || mode == TOpenMode::CreateNew) {
    // CREATE_NEW fails on any name that exists, a link included, never following it.
    const HANDLE handle = mode == TOpenMode::CreateAlways
                              ? CreateOutputFile(path)
                              : CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? TFile() : TFile(reinterpret_cast<Handle>(handle));
  }
  // The archive is read by nobody else meanwhile; the template may be read, never written.
  const DWORD share = mode == TOpenMode::ReadShareRead ? FILE_SHARE_READ : 0;
  const HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return TFile();
  TFile file(reinterpret_cast<Handle>(handle));
  // Archives and templates are read at positions, which only a disk file offers: a device
  // (NUL, CON) or a pipe is no valid input, and reading a pipe would stall the run.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    file = TFile();
    SetLastError(ERROR_INVALID_PARAMETER);
  }
  return file;
}

std::uint64_t TFile::Size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(AsHandle(handle_), &size))
    RaiseLastSystemError();
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t TFile::ReadAt(std::uint64_t offset, void* data, std::size_t count) const {
  if (count == 0 || offset > static_cast<std::uint64_t>(INT64_MAX))
    return 0;
  LONG high = static_cast<LONG>(offset >> 32);
  const DWORD low =
      SetFilePointer(AsHandle(handle_), static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  // All bits set is also a valid low half; only the error code tells a failure apart.
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
    return 0;
  auto* out = static_cast<unsigned char*>(data);
  std::size_t done = 0;
  while (done < count) {
    const auto chunk = static_cast<DWORD>(std::min(count - done, MaxIoChunk));
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), out + done, chunk, &got, nullptr) || got == 0)
      break; // a failure, or the end of the file
    done += got;
  }
  return done;
}

std::size_t TFile::Write(const void* data, std::size_t count) {
  // One WriteFile call per chunk of at most MaxIoChunk bytes, the most one call takes: a disk
  // file takes all of a chunk or fails. A call that reports success with fewer bytes is a
  // failure all the same; the last error is cleared before each call so that it then shows
  // the system's own word (0 when it said nothing) and not a code left by an earlier call, such
  // as the "already exists" that CreateFileA leaves when it replaces a file.
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

namespace {

// The file's identity: its volume and its index on that volume. A zero access right opens
// anything, a folder too (FILE_FLAG_BACKUP_SEMANTICS), and shares it with everyone.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  const HANDLE handle =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return false;
  const BOOL known = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  return known != 0;
}

} // namespace

bool SameExistingFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return FileIdentity(a, first) && FileIdentity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool RemoveFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

bool IsAlreadyExistsError(std::uint32_t code) {
  return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

// ---------------------------------------------------------------------------------------------
// Folders

namespace platform {

bool EntryExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateOneFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

} // namespace platform

// ---------------------------------------------------------------------------------------------
// The user's side

namespace {

// Every box of the tool has no owner window and one OK button.
constexpr UINT ErrorBoxFlags = MB_ICONERROR;
constexpr UINT InformationBoxFlags = MB_ICONINFORMATION;
static_assert(ErrorBoxFlags == 0x10 && InformationBoxFlags == 0x40);

} // namespace

namespace {

// The C runtime's text mode would write "\n" as "\r\n"; console output goes out as it stands.
void WriteToStream(std::string_view text, std::FILE* stream) {
  _setmode(_fileno(stream), _O_BINARY);
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

} // namespace

void WriteStandardOutput(std::string_view text) {
  WriteToStream(text, stdout);
}

void WriteStandardError(std::string_view text) {
  WriteToStream(text, stderr);
}

void ShowError(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), ErrorBoxFlags);
}

void ShowInformation(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), InformationBoxFlags);
}

std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
  // The runtime's argv follows other rules (backslash escapes, among others); the tool's
  // arguments are split from the command line exactly as the system handed it over.
  return SplitCommandLine(GetCommandLineA(), SystemPathSyntax().isLeadByte);
}

} // namespace vex
