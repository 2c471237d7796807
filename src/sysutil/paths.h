// Paths. A path is an 8-bit string in the system's code page. Which bytes delimit folders
// depends on the platform ("/" on POSIX; "\" and ":" on Windows, where the second byte of a
// double-byte character never counts), so the rules are a value that the pure functions take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vex {

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
// The folder an archive unpacks into when none is named: its path without the extension (see
// RemoveFileExt), with the folder delimiter. Where that leaves nothing, or ends at another
// delimiter (the Windows "D:" of "D:.agg"), the archive lies in a current folder, so "." is
// put before the delimiter, which alone would name the root: ".agg" gives "./" (".\" on
// Windows), "D:.agg" gives "D:.\", the current folder of D:.
std::string DefaultOutputFolder(std::string_view archivePath, const TPathSyntax& syntax);
// ASCII-only case-insensitive equality: the letters a to z match A to Z, other bytes exactly.
bool SameTextAscii(std::string_view a, std::string_view b);

// `path` joined to `currentFolder` unless it is absolute, by POSIX rules ("/" the only
// delimiter), "." and ".." resolved without asking the file system; ".." at the root stays at
// the root. The result starts with "/" and ends with one only when `path` does (or is the root).
// Pure, so its rules are tested on every platform; FullPathName stands on it on POSIX.
std::string JoinAndNormalizePosix(std::string_view currentFolder, std::string_view path);

// The folder part of the absolute `fullPath` once one trailing delimiter is dropped: the folder
// that holds what `fullPath` names ("/a/b/" and "/a/b" both give "/a/"). ForceFolder climbs by
// it, and stops where it gives back the path it started from.
std::string ParentFolder(std::string_view fullPath, const TPathSyntax& syntax);

// The absolute form of `path`: on POSIX JoinAndNormalizePosix with the current folder; on
// Windows what GetFullPathNameA reports.
std::string FullPathName(const std::string& path);

} // namespace vex
