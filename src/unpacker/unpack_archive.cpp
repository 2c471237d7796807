// The unpack loop: read the directory, then name, read and write each member in order. A
// failure leaves the loop carrying the name of the member it concerns.
#include "unpack_archive.h"

#include "archive_directory.h"
#include "exceptions.h"
#include "files.h"
#include "member_names.h"
#include "raw_image.h"

#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace vex {

namespace {

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
  CheckEntry(entry, archiveSize);
  if (entry.size == 0)
    return {nullptr, 0};
  const auto size = static_cast<std::uint64_t>(entry.size);
  std::uint8_t* data = buffer.Reserve(static_cast<std::size_t>(size));
  archive.ReadExactAt(static_cast<std::uint64_t>(entry.offset), data,
                      static_cast<std::size_t>(size));
  return {data, static_cast<std::size_t>(size)};
}

void WriteMember(TBytesView member, const std::string& path, bool picture,
                 std::optional<TRawImageConverter>& converter, const std::string& appFolder) {
  if (!picture) {
    SaveDataToFile(path, member.data(), member.size());
    return;
  }
  // The template is looked for and read at the first picture: an archive without pictures
  // runs without one.
  if (!converter)
    converter.emplace(PaletteTemplatePath(appFolder));
  converter->ConvertRawImage(member, path);
}

} // namespace

void UnpackArchive(const std::string& archivePath, const std::string& outputFolder,
                   const std::string& appFolder) {
  const TFile archive = TFile::OpenOrRaise(archivePath, TOpenMode::ReadExclusive);
  const std::uint64_t archiveSize = archive.Size();
  const std::vector<TDirectoryEntry> entries = ReadDirectory(archive);
  // The result is not looked at: a folder that cannot be made fails the first member's write,
  // whose message names the member.
  ForceFolder(outputFolder);
  TMemberBuffer buffer;
  // One converter, with one bitmap, for all the pictures of this run.
  std::optional<TRawImageConverter> converter;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string name = MemberName(entries[i].key, i);
    Concerning(name, [&] {
      const TBytesView member = ReadMember(archive, archiveSize, entries[i], buffer);
      WriteMember(member, outputFolder + MemberFileName(name), IsPictureName(name), converter,
                  appFolder);
    });
  }
}

} // namespace vex
