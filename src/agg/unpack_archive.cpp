// The unpack loop: read the directory and settle the plan (no disk filled blind), then check
// and write each member in order, raw members streamed from the archive, pictures converted
// in memory. A failure leaves the loop carrying the name of the member it concerns.
#include "unpack_archive.h"

#include "archive_directory.h"
#include "checked_directory.h"
#include "exceptions.h"
#include "files.h"
#include "member_names.h"
#include "raw_image.h"
#include "raw_picture.h"
#include "replacing_file.h"
#include "system_error.h"
#include "unpack_plan.h"

#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace vex {

namespace {

// Holds one picture member at a time. It grows to the largest picture met and is reused, never
// shrunk or cleared: memory stays bounded by the largest picture, and no byte is written twice
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

// Reads a checked member's bytes into `buffer`.
TBytesView ReadMember(const TFile& archive, const TDirectoryEntry& entry, TMemberBuffer& buffer) {
  if (entry.size == 0)
    return {nullptr, 0};
  const auto size = static_cast<std::size_t>(entry.size);
  std::uint8_t* data = buffer.Reserve(size);
  archive.ReadExactAt(static_cast<std::uint64_t>(entry.offset), data, size);
  return {data, size};
}

// Writes a checked raw member from the archive straight to its file, so that memory does not
// grow with the member. The file is whole or absent: a read or write that fails partway takes
// the temporary file away, and what stood at the name stays.
void StreamMember(const TFile& archive, const TDirectoryEntry& entry, const std::string& path) {
  TReplacingFile file(path, TDurability::Cached);
  if (!file.IsOpen())
    RaiseLastSystemError();
  file.Reserve(static_cast<std::uint64_t>(entry.size));
  CopyBetweenFiles(archive, static_cast<std::uint64_t>(entry.offset), file.File(),
                   static_cast<std::uint64_t>(entry.size));
  file.Commit();
}

// The template is looked for and read at the first picture, written or not: an archive
// without pictures runs without one, and a bad template fails where it always did.
TRawImageConverter& Converter(std::optional<TRawImageConverter>& converter,
                              const std::string& appFolder, TPictureFile pictureFile) {
  if (!converter)
    converter.emplace(PaletteTemplatePath(appFolder), pictureFile);
  return *converter;
}

// A picture that a later member replaces is checked as it would be before its file is made,
// from its head alone; its pixels are never read.
void CheckReplacedPicture(const TFile& archive, const TDirectoryEntry& entry,
                          TRawImageConverter& converter) {
  std::uint8_t head[RawPixelsAt] = {};
  const auto size = static_cast<std::uint64_t>(entry.size);
  if (size >= RawPixelsAt)
    archive.ReadExactAt(static_cast<std::uint64_t>(entry.offset), head, RawPixelsAt);
  converter.CheckRawImage(head, size);
}

} // namespace

std::vector<std::string> UnpackArchive(const std::string& archivePath,
                                       const std::string& outputFolder,
                                       const std::string& appFolder, const TUnpackChoice& choice) {
  const TFile archive = TFile::OpenOrRaise(archivePath, TOpenMode::ReadExclusive);
  const TCheckedDirectory directory = ReadArchiveDirectory(
      archive, archivePath,
      choice.explainDirectory ? TShortArchive::Explained : TShortArchive::Plain);
  const std::uint64_t archiveSize = directory.archiveSize;
  const std::vector<TDirectoryEntry>& entries = directory.entries;
  const TUnpackPlan plan = PlanUnpack(entries, choice.patterns, choice.raw, choice.pictureFile);
  if (choice.sink == nullptr) {
    CheckDiskSpace(archive, archiveSize, entries, plan, outputFolder);
    // The result is not looked at: a folder that cannot be made fails the first member's
    // write, whose message names the member. Names that choose nothing make no folder.
    if (choice.patterns.empty() || plan.files != 0)
      ForceFolder(outputFolder);
  } else if (plan.files > 1) {
    throw Exception(std::to_string(plan.files) +
                    " members are chosen, and standard output takes one: name one member");
  }
  TMemberBuffer buffer;
  // One converter, with one bitmap, for all the pictures of this run.
  std::optional<TRawImageConverter> converter;
  const auto pictures = [&]() -> TRawImageConverter& {
    return Converter(converter, appFolder, choice.pictureFile);
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!plan.chosen[i])
      continue;
    const TDirectoryEntry& entry = entries[i];
    Concerning(plan.names[i], [&] {
      // Every member is checked, even one whose file a later member replaces and which is
      // therefore not written: an archive fails at the same member whatever follows it.
      CheckEntry(entry, archiveSize);
      const std::string path = outputFolder + plan.fileNames[i];
      if (!plan.converted[i]) {
        if (plan.replacedLater[i])
          return;
        if (choice.sink != nullptr)
          CopyBetweenFiles(archive, static_cast<std::uint64_t>(entry.offset), *choice.sink,
                           static_cast<std::uint64_t>(entry.size));
        else
          StreamMember(archive, entry, path);
      } else if (plan.replacedLater[i]) {
        CheckReplacedPicture(archive, entry, pictures());
        return;
      } else {
        const TBytesView member = ReadMember(archive, entry, buffer);
        if (choice.sink != nullptr)
          pictures().ConvertRawImage(member, *choice.sink);
        else
          pictures().ConvertRawImage(member, path);
      }
      if (choice.written && choice.sink == nullptr)
        choice.written(plan.fileNames[i]);
    });
  }
  return plan.unmatched;
}

} // namespace vex
