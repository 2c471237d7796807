// The tool's thin layer over the operating system: errors, paths, files, folders and message
// boxes. Callers include only this header; vex_sys_utils_posix.cpp or vex_sys_utils_win32.cpp
// supplies the OS calls, chosen by the build, so no caller ever needs an #ifdef.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vex {

// ---------------------------------------------------------------------------------------------
// Errors. Every failure the tool knows is one of these, raised where it is found and caught
// once, in the entry, which shows the message to the user.

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

private:
  std::string message_;
};

#define VEX_DECLARE_EXCEPTION(Name, Base)                                                          \
  class Name : public Base {                                                                       \
  public:                                                                                          \
    using Base::Base;                                                                              \
  };

VEX_DECLARE_EXCEPTION(EOSError, Exception)
VEX_DECLARE_EXCEPTION(EStreamError, Exception)
VEX_DECLARE_EXCEPTION(EFOpenError, EStreamError)
VEX_DECLARE_EXCEPTION(EFCreateError, EStreamError)
VEX_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
VEX_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
VEX_DECLARE_EXCEPTION(EOutOfResources, Exception)
VEX_DECLARE_EXCEPTION(EAssertionFailed, Exception)
#undef VEX_DECLARE_EXCEPTION

// The classes below carry fixed texts, so they are built without arguments.
class EReadError : public EStreamError {
public:
  EReadError() : EStreamError("Stream read error") {}
};
class EWriteError : public EStreamError {
public:
  EWriteError() : EStreamError("Stream write error") {}
};
class ERangeError : public Exception {
public:
  ERangeError() : Exception("Range check error") {}
};
class EOutOfMemory : public Exception {
public:
  EOutOfMemory() : Exception("Out of memory") {}
};

// Raises EAssertionFailed "Assertion failure (FILE, line N)" with the base name of `file`.
[[noreturn]] void RaiseAssertion(const char* file, int line);
#define VEX_ASSERT(condition)                                                                      \
  do {                                                                                             \
    if (!(condition))                                                                              \
      ::vex::RaiseAssertion(__FILE__, __LINE__);                                                   \
  } while (false)

// ---------------------------------------------------------------------------------------------
// System error codes and their texts.

// The calling thread's last error code (errno on POSIX, GetLastError on Windows).
std::uint32_t LastSystemError();
// The system's text for `code`, without trailing blanks, control bytes and periods.
std::string SystemErrorText(std::uint32_t code);
// The untrimmed system text; platform-specific, used by SystemErrorText only.
std::string RawSystemErrorText(std::uint32_t code);
// Cuts trailing bytes of 0x20 and below and "." from a system text.
std::string TrimSystemErrorText(std::string text);
// The EOSError message for `code`: "System Error.  Code: %d.\r\n%s", or
// "A call to an OS function failed" when `code` is 0.
std::string SystemErrorMessage(std::uint32_t code);
// Raises EOSError for the last system error. Reads the code before doing anything else.
[[noreturn]] void RaiseLastSystemError();

// ---------------------------------------------------------------------------------------------
// Paths. A path is an 8-bit string in the system's code page. Which bytes delimit folders
// depends on the platform ("/" on POSIX; "\" and ":" on Windows, where the second byte of a
// double-byte character never counts), so the rules are a value that the pure functions take.

using LeadBytePredicate = bool (*)(unsigned char);

struct TPathSyntax {
  std::string_view delimiters;  // bytes that end a folder name
  char folderDelimiter;         // the one appended to a folder that lacks it
  LeadBytePredicate isLeadByte; // double-byte lead bytes, or nullptr for none
};

// The rules of the running system.
const TPathSyntax& SystemPathSyntax();

// Position of the last byte of `s` that is one of `chars`, skipping the second bytes of
// double-byte characters; std::string_view::npos when there is none.
std::size_t LastDelimiter(std::string_view chars, std::string_view s, LeadBytePredicate isLeadByte);
// Folder part: everything up to and including the last delimiter; empty when there is none.
std::string ExtractFilePath(std::string_view path, const TPathSyntax& syntax);
// From the last "." to the end when that "." comes after the last delimiter; else empty.
std::string ExtractFileExt(std::string_view path, const TPathSyntax& syntax);
// The path without its extension (see ExtractFileExt).
std::string RemoveFileExt(std::string_view path, const TPathSyntax& syntax);
// Whether the path's last byte is a delimiter that is not the second byte of a double-byte
// character.
bool EndsWithDelimiter(std::string_view path, const TPathSyntax& syntax);
// `folder` with the folder delimiter appended unless its last byte already is that one (and
// not the second byte of a double-byte character). Other delimiters do not count: the
// Windows folder "D:" becomes "D:\", the root of D:, not the current folder of D:.
std::string IncludeTrailingDelimiter(std::string folder, const TPathSyntax& syntax);
// ASCII-only case-insensitive equality: the letters a to z match A to Z, other bytes exactly.
bool SameTextAscii(std::string_view a, std::string_view b);

// The absolute form of `path`: on POSIX the current folder joined with it, "." and ".."
// resolved lexically; on Windows what GetFullPathNameA reports.
std::string FullPathName(const std::string& path);
// The lexical part of FullPathName on POSIX, with the current folder given.
std::string JoinAndNormalizePosix(std::string_view currentFolder, std::string_view path);

// ---------------------------------------------------------------------------------------------
// The executable's folder, with its trailing delimiter. Set by InitAppPath at start-up.

std::string& AppPath();
void InitAppPath();

// Where an installation keeps the files that ship with the tool, relative to the executable's
// folder, each with its trailing delimiter: "../share/marlovexine/" on Linux and macOS, whose
// installations put bin/ and share/ under one prefix; none on Windows, where they stay beside
// the executable.
const std::vector<std::string>& InstalledDataFolders();
// The path to read `name`, a file that ships with the tool, from: `appFolder` + `name` when
// anything of that name stands there (even a folder: its error is the one the user needs);
// else the first of `appFolder` + folder + `name`, folder one of `dataFolders`, that exists;
// else `appFolder` + `name`, so that the failed open names the place looked at first.
std::string LocateShippedFile(const std::string& appFolder, std::string_view name,
                              const std::vector<std::string>& dataFolders);

// ---------------------------------------------------------------------------------------------
// Files.

using TByteDynArray = std::vector<std::uint8_t>;

// Bytes that someone else owns, such as a member in the unpack loop's reusable buffer.
class TBytesView {
public:
  TBytesView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  TBytesView(const TByteDynArray& bytes) : data_(bytes.data()), size_(bytes.size()) {}
  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  std::uint8_t operator[](std::size_t i) const { return data_[i]; }

private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// How a file is opened. The share modes matter on Windows only; POSIX has none.
enum class TOpenMode {
  ReadExclusive, // an existing file, read access, no sharing (the archive)
  ReadShareRead, // an existing file, read access, others may read (the palette template)
  CreateAlways,  // create or truncate, write access, no sharing (every output file)
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
  // with the system's last error set; raises nothing. CreateAlways replaces a symbolic link
  // (on Windows also a junction) that stands at `path` with a new file and never opens what
  // the link points to; links among the folders above `path` are followed.
  static TFile Open(const std::string& path, TOpenMode mode);
  // As Open, but raises EFOpenError "Cannot open file \"%s\". %s" (reading) or EFCreateError
  // "Cannot create file \"%s\". %s" (creating), with the absolute path and the system's text.
  static TFile OpenOrRaise(const std::string& path, TOpenMode mode);

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
  // EINTR; Windows makes the one WriteFile call, and a short one is a failure.
  std::size_t Write(const void* data, std::size_t count);

private:
  using Handle = std::intptr_t; // a file descriptor or a HANDLE
  static constexpr Handle InvalidHandle = -1;
  explicit TFile(Handle handle) : handle_(handle) {}
  Handle handle_ = InvalidHandle;
};

// TFile::Open, but a file being created gets its folder made first (ForceFolder on the folder
// part). Returns a closed TFile when either step fails, the system's last error telling why.
TFile CreateFileWithFolder(const std::string& path, TOpenMode mode);
// Makes `path` and every missing parent folder, outermost first. False when creating a
// folder on the way fails (the system's last error tells why); raises nothing.
bool ForceFolder(const std::string& path);
// Creates or replaces the file at `path` (making its folder), writes `count` bytes and closes
// it. Raises EOSError for the system's error, a failed close included; a partly written file
// stays.
void SaveDataToFile(const std::string& path, const void* data, std::size_t count);
void SaveBufferToFile(const std::string& path, const TByteDynArray& buffer);

// ---------------------------------------------------------------------------------------------
// Message boxes and the command line.

constexpr std::uint32_t MB_ICONERROR_FLAGS = 0x10;
constexpr std::uint32_t MB_ICONINFORMATION_FLAGS = 0x40;

// On Windows MessageBoxA; on POSIX the text goes to standard output, or to standard error for
// an error box, with "\r\n" written as "\n" and one "\n" at the end.
int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                   std::uint32_t flags);

// The program's arguments after the program itself, empty ones dropped. POSIX takes argv;
// Windows splits GetCommandLineA instead.
std::vector<std::string> ProgramArguments(int argc, char** argv);

} // namespace vex
