// The unpack loop: read the directory, then name, read and write each member in order.
#include "unpack_archive.h"

#include "demo_files.h"
#include "exceptions.h"
#include "files.h"
#include "little_endian.h"
#include "paths.h"
#include "raw_image.h"

#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace vex {

namespace {

// Offsets of the fields inside a directory entry.
constexpr std::size_t EntryKeyAt = 0;
constexpr std::size_t EntryOffsetAt = 2;
constexpr std::size_t EntrySizeAt = 6;

TDirectoryEntry DecodeEntry(const std::uint8_t* p) {
  return {GetU16(p + EntryKeyAt), GetI32(p + EntryOffsetAt), GetI32(p + EntrySizeAt)};
}

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

// Holds one member at a time. It grows to the largest member met and is reused, never
// shrunk or cleared: memory stays bounded by the largest member, and no byte is written twice
// (growing leaves the new bytes unset, since the read fills every one of them).
class TMemberBuffer {
public:
  std::uint8_t* Reserve(std::size_t size) {
    if (size > capacity_) {
      try {
        storage_.reset(); // the old bytes are not needed: give them back before growing
        storage_.reset(new std::uint8_t[size]);
      } catch (const std::bad_alloc&) {
        capacity_ = 0;
        throw EOutOfMemory();
      }
      capacity_ = size;
    }
    return storage_.get();
  }

private:
  std::unique_ptr<std::uint8_t[]> storage_;
  std::size_t capacity_ = 0;
};

// Reads the member's bytes into `buffer`. Every bound is checked against the archive's size
// before anything is allocated, so a bogus directory entry never costs memory.
TBytesView ReadMember(const TFile& archive, std::uint64_t archiveSize, const TDirectoryEntry& entry,
                      TMemberBuffer& buffer) {
  if (entry.size == 0)
    return {nullptr, 0};
  if (entry.size < 0)
    throw ERangeError();
  const auto size = static_cast<std::uint64_t>(entry.size);
  if (entry.offset < 0 || static_cast<std::uint64_t>(entry.offset) + size > archiveSize)
    throw EReadError();
  std::uint8_t* data = buffer.Reserve(static_cast<std::size_t>(size));
  archive.ReadExactAt(static_cast<std::uint64_t>(entry.offset), data,
                      static_cast<std::size_t>(size));
  return {data, static_cast<std::size_t>(size)};
}

std::string MemberName(std::uint16_t key, std::size_t index) {
  const std::string_view known = LookupKnownName(key);
  if (!known.empty())
    return std::string(known);
  return "file_" + std::to_string(index);
}

// The one converter, with the one bitmap, that the pictures of a run share: made at the first
// picture, which reads the template, and kept until the process ends.
std::optional<TRawImageConverter>& ConversionBitmap() {
  static std::optional<TRawImageConverter> converter;
  return converter;
}

TRawImageConverter& Converter(const std::string& appFolder) {
  std::optional<TRawImageConverter>& converter = ConversionBitmap();
  if (!converter)
    converter.emplace(PaletteTemplatePath(appFolder));
  return *converter;
}

void WriteMember(TBytesView member, const std::string& outputFolder, const std::string& name,
                 const std::string& appFolder) {
  const std::string extension = ExtractFileExt(name, SystemPathSyntax());
  if (SameTextAscii(extension, ".bmp"))
    Converter(appFolder).ConvertRawImage(member, outputFolder + name);
  else if (SameTextAscii(extension, ".bkg"))
    Converter(appFolder).ConvertRawImage(member, outputFolder + name + ".bmp");
  else
    SaveDataToFile(outputFolder + name, member.data(), member.size());
}

} // namespace

std::string& CurrentMemberName() {
  static std::string name;
  return name;
}

void UnpackArchive(const std::string& archivePath, const std::string& outputFolder,
                   const std::string& appFolder) {
  // A run of its own: no name or template lingers from an earlier unpack in this process.
  CurrentMemberName().clear();
  ConversionBitmap().reset();
  const TFile archive = TFile::OpenOrRaise(archivePath, TOpenMode::ReadExclusive);
  const std::uint64_t archiveSize = archive.Size();
  const std::vector<TDirectoryEntry> entries = ReadDirectory(archive);
  // The result is not looked at: a folder that cannot be made fails the first member's write,
  // whose message names the member.
  ForceFolder(outputFolder);
  TMemberBuffer buffer;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    CurrentMemberName() = MemberName(entries[i].key, i);
    const TBytesView member = ReadMember(archive, archiveSize, entries[i], buffer);
    WriteMember(member, outputFolder, CurrentMemberName(), appFolder);
  }
  CurrentMemberName().clear();
}

} // namespace vex
