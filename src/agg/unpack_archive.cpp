// The unpack loop: read the directory and settle the plan (no disk filled blind), then check
// and write each member in order through the sink, raw members streamed from the archive,
// pictures converted in memory. A failure leaves the loop carrying the name of the member it
// concerns.
#include "unpack_archive.h"

#include "archive_directory.h"
#include "bitmap.h"
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

// What one run keeps from member to member: the buffer for pictures, and one converter, with
// one bitmap, for all of them.
class TMemberWriter {
public:
  TMemberWriter(const TFile& archive, TUnpackSink& sink, const std::string& templatePath,
                const TUnpackChoice& choice)
      : archive_(archive), sink_(sink), templatePath_(templatePath), choice_(choice) {}

  // Checks and writes the member `i` of the plan. Every member is checked, even one whose
  // file a later member replaces and which is therefore not written: an archive fails at the
  // same member whatever follows it.
  void Unpack(const TCheckedDirectory& directory, const TUnpackPlan& plan, std::size_t i) {
    const TDirectoryEntry& entry = directory.entries[i];
    CheckEntry(entry, directory.archiveSize);
    if (!plan.converted[i]) {
      if (!plan.replacedLater[i])
        sink_.CopyFile(plan.fileNames[i], archive_, static_cast<std::uint64_t>(entry.offset),
                       static_cast<std::uint64_t>(entry.size));
    } else if (plan.replacedLater[i]) {
      // Checked as it would be before its file is made, from its head alone.
      const TMemberPictureHead head = ReadMemberPictureHead(archive_, entry);
      Converter().CheckPicture(head.head);
    } else {
      const TBytesView member = ReadMember(archive_, entry, buffer_);
      sink_.WriteFile(plan.fileNames[i], Converter().EncodeRawImage(member));
    }
  }

private:
  // The template is read at the first picture, written or not: an archive without pictures
  // runs without one, and a bad template fails where it always did.
  TRawImageConverter& Converter() {
    if (converter_)
      return *converter_;
    if (choice_.paletteTemplate != nullptr)
      return converter_.emplace(*choice_.paletteTemplate, choice_.pictureFile);
    return converter_.emplace(templatePath_, choice_.pictureFile);
  }

  const TFile& archive_;
  TUnpackSink& sink_;
  const std::string& templatePath_;
  const TUnpackChoice& choice_;
  TMemberBuffer buffer_;
  std::optional<TRawImageConverter> converter_;
};

class TFolderSink final : public TUnpackSink {
public:
  TFolderSink(std::string folder, std::function<void(const std::string&)> written)
      : folder_(std::move(folder)), written_(std::move(written)) {}

  void Begin(const TFile& archive, const TCheckedDirectory& directory,
             const TUnpackPlan& plan) override {
    CheckDiskSpace(archive, directory, plan, folder_);
    // The result is not looked at: a folder that cannot be made fails the first member's
    // write, whose message names the member.
    if (plan.choosesAll || plan.files != 0)
      ForceFolder(folder_);
  }

  // Written from the archive straight to its file, so that memory does not grow with the
  // member. The file is whole or absent: a read or write that fails partway takes the
  // temporary file away, and what stood at the name stays.
  void CopyFile(const std::string& fileName, const TFile& archive, std::uint64_t offset,
                std::uint64_t count) override {
    TReplacingFile file(folder_ + fileName, TDurability::Cached);
    if (!file.IsOpen())
      RaiseLastSystemError();
    file.Reserve(count);
    CopyBetweenFiles(archive, offset, file.File(), count);
    file.Commit();
    Written(fileName);
  }

  void WriteFile(const std::string& fileName, TBytesView bytes) override {
    WritePictureFile(folder_ + fileName, bytes);
    Written(fileName);
  }

private:
  void Written(const std::string& fileName) const {
    if (written_)
      written_(fileName);
  }

  std::string folder_;
  std::function<void(const std::string&)> written_;
};

class TStreamSink final : public TUnpackSink {
public:
  explicit TStreamSink(TFile& output) : output_(output) {}

  void Begin(const TFile&, const TCheckedDirectory&, const TUnpackPlan& plan) override {
    if (plan.files > 1)
      throw Exception(std::to_string(plan.files) +
                      " members are chosen, and standard output takes one: name one member");
  }

  void CopyFile(const std::string&, const TFile& archive, std::uint64_t offset,
                std::uint64_t count) override {
    CopyBetweenFiles(archive, offset, output_, count);
  }

  void WriteFile(const std::string&, TBytesView bytes) override {
    if (bytes.size() != 0 && output_.Write(bytes.data(), bytes.size()) != bytes.size())
      throw EWriteError();
  }

private:
  TFile& output_;
};

} // namespace

std::unique_ptr<TUnpackSink> FolderSink(std::string folder,
                                        std::function<void(const std::string&)> written) {
  return std::make_unique<TFolderSink>(std::move(folder), std::move(written));
}

std::unique_ptr<TUnpackSink> StreamSink(TFile& output) {
  return std::make_unique<TStreamSink>(output);
}

std::vector<std::string> UnpackArchive(const std::string& archivePath, TUnpackSink& sink,
                                       const std::string& templatePath,
                                       const TUnpackChoice& choice) {
  const TFile archive = TFile::OpenOrRaise(archivePath, TOpenMode::ReadExclusive);
  const TCheckedDirectory directory = ReadArchiveDirectory(
      archive, archivePath,
      choice.explainDirectory ? TShortArchive::Explained : TShortArchive::Plain);
  const TUnpackPlan plan =
      PlanUnpack(directory.entries, choice.patterns, choice.raw, choice.pictureFile);
  sink.Begin(archive, directory, plan);
  TMemberWriter writer(archive, sink, templatePath, choice);
  for (std::size_t i = 0; i < directory.entries.size(); ++i) {
    if (plan.chosen[i])
      Concerning(plan.names[i], [&] { writer.Unpack(directory, plan, i); });
  }
  return plan.unmatched;
}

} // namespace vex
