// The portable half of the OS layer: error texts, path rules, folder making and whole-buffer
// file output, written once over the primitives of platform.h.
#include "app_folder.h"
#include "console.h"
#include "exceptions.h"
#include "files.h"
#include "paths.h"
#include "platform.h"
#include "system_error.h"

#include <vector>

namespace vex {

void RaiseAssertion(const char* file, int line) {
  std::string_view name(file);
  // The base name only: the message must not depend on where the tree was built.
  const std::size_t cut = name.find_last_of("/\\");
  if (cut != std::string_view::npos)
    name.remove_prefix(cut + 1);
  throw EAssertionFailed("Assertion failure (" + std::string(name) + ", line " +
                         std::to_string(line) + ")");
}

std::string TrimSystemErrorText(std::string text) {
  std::size_t n = text.size();
  while (n > 0) {
    const auto c = static_cast<unsigned char>(text[n - 1]);
    if (c > 0x20 && c != '.')
      break;
    --n;
  }
  text.resize(n);
  return text;
}

std::string SystemErrorText(std::uint32_t code) {
  return TrimSystemErrorText(platform::RawSystemErrorText(code));
}

std::string SystemErrorMessage(std::uint32_t code) {
  if (code == 0)
    return "A call to an OS function failed";
  // Codes of 0x80000000 and above print as negative numbers, as the system shows them.
  return "System Error.  Code: " + std::to_string(static_cast<std::int32_t>(code)) + ".\r\n" +
         SystemErrorText(code);
}

void RaiseLastSystemError() {
  const std::uint32_t code = LastSystemError();
  throw EOSError(SystemErrorMessage(code));
}

// ---------------------------------------------------------------------------------------------
// Paths

std::size_t LastDelimiter(std::string_view chars, std::string_view s,
                          LeadBytePredicate isLeadByte) {
  // Scanned forwards, since only a forward scan knows which bytes are second bytes of
  // double-byte characters.
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (isLeadByte != nullptr && isLeadByte(c)) {
      ++i; // the trail byte is part of this character, whatever its value
      continue;
    }
    if (chars.find(static_cast<char>(c)) != std::string_view::npos)
      found = i;
  }
  return found;
}

std::string ExtractFilePath(std::string_view path, const TPathSyntax& syntax) {
  const std::size_t pos = LastDelimiter(syntax.delimiters, path, syntax.isLeadByte);
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos + 1));
}

namespace {
std::size_t ExtensionStart(std::string_view path, const TPathSyntax& syntax) {
  std::string chars(syntax.delimiters);
  chars += '.';
  const std::size_t pos = LastDelimiter(chars, path, syntax.isLeadByte);
  return (pos != std::string_view::npos && path[pos] == '.') ? pos : path.size();
}
} // namespace

std::string ExtractFileExt(std::string_view path, const TPathSyntax& syntax) {
  return std::string(path.substr(ExtensionStart(path, syntax)));
}

std::string RemoveFileExt(std::string_view path, const TPathSyntax& syntax) {
  return std::string(path.substr(0, ExtensionStart(path, syntax)));
}

bool EndsWithDelimiter(std::string_view path, const TPathSyntax& syntax) {
  if (path.empty())
    return false;
  const std::size_t pos = LastDelimiter(syntax.delimiters, path, syntax.isLeadByte);
  return pos == path.size() - 1;
}

std::string IncludeTrailingDelimiter(std::string folder, const TPathSyntax& syntax) {
  const std::string_view delimiter(&syntax.folderDelimiter, 1);
  if (folder.empty() || LastDelimiter(delimiter, folder, syntax.isLeadByte) != folder.size() - 1)
    folder += syntax.folderDelimiter;
  return folder;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    if (fold(a[i]) != fold(b[i]))
      return false;
  }
  return true;
}

std::string platform::JoinAndNormalizePosix(std::string_view currentFolder, std::string_view path) {
  std::string joined;
  if (path.empty() || path.front() != '/') {
    joined.assign(currentFolder);
    joined += '/';
  }
  joined += path;
  std::vector<std::string_view> parts;
  std::string_view rest(joined);
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".")
      continue;
    if (part == "..") {
      if (!parts.empty())
        parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result;
  for (const std::string_view part : parts) {
    result += '/';
    result += part;
  }
  // A trailing delimiter names a folder; keep it, as the Windows call does.
  if (result.empty() || (!path.empty() && path.back() == '/'))
    result += '/';
  return result;
}

// ---------------------------------------------------------------------------------------------
// Files and folders

TFile TFile::OpenOrRaise(const std::string& path, TOpenMode mode) {
  TFile file = Open(path, mode);
  if (!file.IsOpen())
    RaiseOpenError(path, mode);
  return file;
}

void TFile::RaiseOpenError(const std::string& path, TOpenMode mode) {
  const std::uint32_t code = LastSystemError();
  const std::string text = "\"" + FullPathName(path) + "\". " + SystemErrorText(code);
  if (mode == TOpenMode::CreateAlways || mode == TOpenMode::CreateNew)
    throw EFCreateError("Cannot create file " + text);
  throw EFOpenError("Cannot open file " + text);
}

void TFile::ReadExactAt(std::uint64_t offset, void* data, std::size_t count) const {
  if (ReadAt(offset, data, count) != count)
    throw EReadError();
}

std::string LocateShippedFile(const std::string& appFolder, std::string_view name,
                              const std::vector<std::string>& dataFolders) {
  const std::string beside = appFolder + std::string(name);
  // Without the executable's folder there is no installation to look into.
  if (appFolder.empty() || platform::EntryExists(beside))
    return beside;
  for (const std::string& folder : dataFolders) {
    std::string installed = appFolder + folder + std::string(name);
    if (platform::EntryExists(installed))
      return installed;
  }
  return beside;
}

TFile CreateFileWithFolder(const std::string& path, TOpenMode mode) {
  if (mode != TOpenMode::CreateAlways)
    return TFile::Open(path, mode);
  // The folder nearly always exists: try the file first and spare a folder test per member.
  // Any failure goes the long way, folder first, so the error reported is the same as if the
  // folder had been made before the file was tried.
  if (TFile file = TFile::Open(path, mode); file.IsOpen())
    return file;
  if (!ForceFolder(ExtractFilePath(path, SystemPathSyntax())))
    return TFile();
  return TFile::Open(path, mode);
}

bool ForceFolder(const std::string& path) {
  if (path.empty() || platform::DirectoryExists(path))
    return true;
  const TPathSyntax& syntax = SystemPathSyntax();
  std::string full = FullPathName(path);
  if (EndsWithDelimiter(full, syntax))
    full.pop_back();
  const std::string parent = ExtractFilePath(full, syntax);
  // At a root the parent comes out as the path itself: the climb stops there.
  if (parent == path)
    return true;
  if (!ForceFolder(parent))
    return false;
  return platform::CreateOneFolder(path);
}

void SaveDataToFile(const std::string& path, const void* data, std::size_t count) {
  TFile file = CreateFileWithFolder(path, TOpenMode::CreateAlways);
  if (!file.IsOpen())
    RaiseLastSystemError();
  if (count != 0 && file.Write(data, count) != count)
    RaiseLastSystemError();
  if (!file.Close())
    RaiseLastSystemError();
}

void SaveBufferToFile(const std::string& path, const TByteDynArray& buffer) {
  SaveDataToFile(path, buffer.data(), buffer.size());
}

bool EntryExists(const std::string& path) {
  return platform::EntryExists(path);
}

TFile CreateTemporaryBeside(const std::string& path, std::string& temporaryPath) {
  // A name that an interrupted run left behind, or that another run holds now, is passed over.
  constexpr int Attempts = 100;
  for (int n = 0; n < Attempts; ++n) {
    temporaryPath = path + "." + std::to_string(n) + ".tmp";
    TFile file = TFile::Open(temporaryPath, TOpenMode::CreateNew);
    if (file.IsOpen() || !IsAlreadyExistsError(LastSystemError()))
      return file;
  }
  return TFile();
}

// ---------------------------------------------------------------------------------------------
// The console

std::string ConsoleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    out += text[i];
  }
  return out;
}

} // namespace vex
