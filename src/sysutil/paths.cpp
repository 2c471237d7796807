// The pure path rules, written once over a TPathSyntax so that every platform's rules can be
// tested on any platform, and the lexical join that POSIX's FullPathName stands on.
#include "paths.h"

#include <utility>
#include <vector>

namespace vex {

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

std::string DefaultOutputFolder(std::string_view archivePath, const TPathSyntax& syntax) {
  std::string folder = RemoveFileExt(archivePath, syntax);
  if (folder.empty() ||
      (EndsWithDelimiter(folder, syntax) && folder.back() != syntax.folderDelimiter))
    folder += '.';
  return IncludeTrailingDelimiter(std::move(folder), syntax);
}

std::string ParentFolder(std::string_view fullPath, const TPathSyntax& syntax) {
  if (EndsWithDelimiter(fullPath, syntax))
    fullPath.remove_suffix(1);
  return ExtractFilePath(fullPath, syntax);
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

std::string JoinAndNormalizePosix(std::string_view currentFolder, std::string_view path) {
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

} // namespace vex
