// Updating an archive in two passes: the first decides where every member comes from and
// where it goes, checking all it can; only then does the second write a byte.
#include "archive_update.h"

#include "archive_directory.h"
#include "exceptions.h"
#include "files.h"
#include "member_names.h"
#include "paths.h"
#include "picture_file.h"
#include "raw_image.h"
#include "raw_picture.h"
#include "system_error.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vex {

namespace {

// Every byte of OUT passes through one buffer of this size: memory stays bounded by the
// largest picture, whatever the size of the raw members.
constexpr std::size_t WriteBufferSize = std::size_t{1} << 20;

[[noreturn]] void RaiseFileChanged() {
  throw EStreamError("File changed while the archive was written");
}

enum class TSource { Base, RawFile, PictureFile };

struct TPlannedMember {
  std::string name;
  TDirectoryEntry base{};
  TSource source = TSource::Base;
  std::string path;        // the file in FOLDER it comes from
  std::uint64_t size = 0;  // its size in OUT
  std::int32_t offset = 0; // its offset in OUT
  TRawPictureHead head;    // PictureFile: BASE's tag, and the size its file had when checked
};

// OUT's bytes go through one buffer into its temporary file. A write error names OUT.
class TArchiveWriter {
public:
  TArchiveWriter(TFile& file, const std::string& outPath)
      : file_(file), outPath_(outPath), buffer_(new std::uint8_t[WriteBufferSize]) {}

  // Free room at the end of the buffer, flushing it first when it is full; never 0 bytes.
  std::uint8_t* Room(std::size_t& room) {
    if (used_ == WriteBufferSize)
      Flush();
    room = WriteBufferSize - used_;
    return buffer_.get() + used_;
  }
  void Advance(std::size_t count) { used_ += count; }
  void Append(const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
      std::size_t room = 0;
      std::uint8_t* at = Room(room);
      const std::size_t part = std::min(room, count);
      std::memcpy(at, data, part);
      Advance(part);
      data += part;
      count -= part;
    }
  }
  void Flush() {
    if (used_ != 0 && file_.Write(buffer_.get(), used_) != used_)
      Concerning(outPath_, [] { RaiseLastSystemError(); });
    used_ = 0;
  }

private:
  TFile& file_;
  const std::string& outPath_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t used_ = 0;
};

// Copies `size` bytes from `offset` of `from` into the archive; false when `from` ends first.
bool CopyBytes(const TFile& from, std::uint64_t offset, std::uint64_t size,
               TArchiveWriter& writer) {
  while (size > 0) {
    std::size_t room = 0;
    std::uint8_t* at = writer.Room(room);
    const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(room, size));
    if (from.ReadAt(offset, at, part) != part)
      return false;
    writer.Advance(part);
    offset += part;
    size -= part;
  }
  return true;
}

// OUT's temporary file, in OUT's folder so that the rename stays on one file system. It is
// removed on every path but the one that moves it into place.
class TTemporaryArchive {
public:
  explicit TTemporaryArchive(const std::string& outPath) {
    file_ = CreateTemporaryBeside(outPath, path_);
    if (!file_.IsOpen())
      TFile::RaiseOpenError(outPath, TOpenMode::CreateNew);
  }
  ~TTemporaryArchive() {
    if (path_.empty())
      return;
    file_ = TFile(); // closed first: Windows removes no open file
    RemoveFile(path_);
  }
  TTemporaryArchive(const TTemporaryArchive&) = delete;
  TTemporaryArchive& operator=(const TTemporaryArchive&) = delete;

  TFile& File() { return file_; }
  // A close error is a write error: the data may not be on the disk.
  void MoveTo(const std::string& outPath) {
    if (!file_.Close() || !MoveFileReplacing(path_, outPath))
      RaiseLastSystemError();
    path_.clear();
  }

private:
  TFile file_;
  std::string path_;
};

class TArchiveUpdate {
public:
  explicit TArchiveUpdate(const TUpdateRequest& request)
      : request_(request), pictures_(request.templatePath) {
    // An empty folder argument means the current folder, never the root.
    const std::string folder = request.folder.empty() ? "." : request.folder;
    folder_ = IncludeTrailingDelimiter(folder, SystemPathSyntax());
  }

  std::string Run() {
    ReadBase();
    ChooseSources();
    LayOut();
    return Write();
  }

private:
  void ReadBase();
  void ChooseSources();
  void ChooseSource(TPlannedMember& member);
  void LayOut();
  std::string Write();
  void WriteDirectory(TArchiveWriter& writer) const;
  void WriteMember(const TPlannedMember& member, TArchiveWriter& writer, std::string& lines);

  const TUpdateRequest& request_;
  std::string folder_;
  TFile base_;
  std::uint64_t baseSize_ = 0;
  std::vector<TPlannedMember> members_;
  TPictureReader pictures_;
};

void TArchiveUpdate::ReadBase() {
  base_ = TFile::OpenOrRaise(request_.basePath, TOpenMode::ReadShareRead);
  baseSize_ = base_.Size();
  const std::vector<TDirectoryEntry> entries = ReadDirectory(base_);
  members_.resize(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    TPlannedMember& member = members_[i];
    member.name = MemberName(entries[i].key, i);
    member.base = entries[i];
    Concerning(member.name, [&] { CheckEntry(member.base, baseSize_); });
    member.size = static_cast<std::uint64_t>(member.base.size);
  }
}

// Of a name that BASE holds more than once, the unpack leaves the last entry's file behind.
void TArchiveUpdate::ChooseSources() {
  std::unordered_map<std::string, std::size_t> last;
  for (std::size_t i = 0; i < members_.size(); ++i)
    last[members_[i].name] = i;
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (last[members_[i].name] == i)
      ChooseSource(members_[i]);
  }
}

// A failure names the file in FOLDER it concerns, or the member when BASE's bytes fail.
void TArchiveUpdate::ChooseSource(TPlannedMember& member) {
  const std::string path = folder_ + MemberFileName(member.name);
  if (!EntryExists(path))
    return;
  if (!IsPictureName(member.name)) {
    member.source = TSource::RawFile;
    member.size =
        Concerning(path, [&] { return TFile::OpenOrRaise(path, TOpenMode::ReadShareRead).Size(); });
    member.path = path;
    return;
  }
  const TPictureSize size = Concerning(path, [&] { return ReadPictureSize(path); });
  if (size.Empty())
    return; // the unpack's file for a picture of width or height 0: nothing to put back
  member.source = TSource::PictureFile;
  member.head.width = size.width;
  member.head.height = size.height;
  member.size = member.head.MemberSize();
  member.path = path;
  const auto tagBytes = std::min<std::size_t>(sizeof member.head.tag, member.base.size);
  Concerning(member.name, [&] {
    base_.ReadExactAt(static_cast<std::uint64_t>(member.base.offset), member.head.tag, tagBytes);
  });
}

void TArchiveUpdate::LayOut() {
  std::uint64_t position = ArchiveCountSize + DirectoryEntrySize * members_.size();
  for (TPlannedMember& member : members_) {
    if (member.size == 0 && member.base.size == 0) {
      member.offset = member.base.offset; // it has no data to lie anywhere
      continue;
    }
    Concerning(member.name, [&] {
      member.offset = ArchiveField(position);
      ArchiveField(member.size);
    });
    position += member.size;
  }
}

std::string TArchiveUpdate::Write() {
  std::optional<TTemporaryArchive> temporary;
  Concerning(request_.outPath, [&] { temporary.emplace(request_.outPath); });
  TArchiveWriter writer(temporary->File(), request_.outPath);
  WriteDirectory(writer);
  std::string lines;
  for (const TPlannedMember& member : members_)
    WriteMember(member, writer, lines);
  writer.Flush();
  Concerning(request_.outPath, [&] { temporary->MoveTo(request_.outPath); });
  return lines;
}

void TArchiveUpdate::WriteDirectory(TArchiveWriter& writer) const {
  std::vector<TDirectoryEntry> entries;
  entries.reserve(members_.size());
  for (const TPlannedMember& member : members_)
    entries.push_back({member.base.key, member.offset, static_cast<std::int32_t>(member.size)});
  const TByteDynArray directory = EncodeDirectory(entries);
  writer.Append(directory.data(), directory.size());
}

void TArchiveUpdate::WriteMember(const TPlannedMember& member, TArchiveWriter& writer,
                                 std::string& lines) {
  switch (member.source) {
  case TSource::Base:
    Concerning(member.name, [&] {
      if (!CopyBytes(base_, static_cast<std::uint64_t>(member.base.offset), member.size, writer))
        throw EReadError();
    });
    return;
  case TSource::RawFile:
    Concerning(member.path, [&] {
      const TFile file = TFile::OpenOrRaise(member.path, TOpenMode::ReadShareRead);
      if (file.Size() != member.size || !CopyBytes(file, 0, member.size, writer))
        RaiseFileChanged();
    });
    return;
  case TSource::PictureFile:
    Concerning(member.path, [&] {
      if (pictures_.Read(member.path) != TPictureSize{member.head.width, member.head.height})
        RaiseFileChanged();
    });
    TByteDynArray head;
    AppendRawPictureHead(head, member.head); // BASE's tag, the file's size
    writer.Append(head.data(), head.size());
    writer.Append(pictures_.Indices().data(), pictures_.Indices().size());
    lines += member.name + '\t' + std::to_string(pictures_.InexactPixels()) + '\n';
    return;
  }
}

} // namespace

std::string UpdateArchive(const TUpdateRequest& request) {
  return TArchiveUpdate(request).Run();
}

} // namespace vex
