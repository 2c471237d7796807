// The archive's directory and the names of its members.
#include "archive_directory.h"

#include "demo_files.h"
#include "exceptions.h"
#include "little_endian.h"
#include "paths.h"

namespace vex {

namespace {

// Offsets of the fields inside a directory entry.
constexpr std::size_t EntryKeyAt = 0;
constexpr std::size_t EntryOffsetAt = 2;
constexpr std::size_t EntrySizeAt = 6;

TDirectoryEntry DecodeEntry(const std::uint8_t* p) {
  return {GetU16(p + EntryKeyAt), GetI32(p + EntryOffsetAt), GetI32(p + EntrySizeAt)};
}

std::string Extension(const std::string& name) {
  return ExtractFileExt(name, SystemPathSyntax());
}

} // namespace

std::vector<TDirectoryEntry> ReadDirectory(const TFile& archive) {
  std::uint8_t countBytes[ArchiveCountSize];
  archive.ReadExactAt(0, countBytes, sizeof countBytes);
  const std::size_t count = GetU16(countBytes);
  std::vector<std::uint8_t> raw(count * DirectoryEntrySize);
  archive.ReadExactAt(ArchiveCountSize, raw.data(), raw.size());
  std::vector<TDirectoryEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    entries.push_back(DecodeEntry(raw.data() + i * DirectoryEntrySize));
  return entries;
}

void CheckEntry(const TDirectoryEntry& entry, std::uint64_t archiveSize) {
  if (entry.size == 0)
    return;
  if (entry.size < 0)
    throw ERangeError();
  const auto size = static_cast<std::uint64_t>(entry.size);
  if (entry.offset < 0 || static_cast<std::uint64_t>(entry.offset) + size > archiveSize)
    throw EReadError();
}

std::string MemberName(std::uint16_t key, std::size_t index) {
  const std::string_view known = LookupKnownName(key);
  if (!known.empty())
    return std::string(known);
  return "file_" + std::to_string(index);
}

bool IsPictureName(const std::string& name) {
  const std::string extension = Extension(name);
  return SameTextAscii(extension, ".bmp") || SameTextAscii(extension, ".bkg");
}

std::string MemberFileName(const std::string& name) {
  return SameTextAscii(Extension(name), ".bkg") ? name + ".bmp" : name;
}

} // namespace vex
