// Updating an archive in two passes: the first decides where every member comes from and
// where it goes, checking all it can; only then does the second write a byte.
#include "archive_update.h"

#include "archive_directory.h"
#include "checked_directory.h"
#include "exceptions.h"
#include "files.h"
#include "folder_match.h"
#include "member_names.h"
#include "paths.h"
#include "picture_file.h"
#include "raw_image.h"
#include "raw_picture.h"
#include "replacing_file.h"
#include "system_error.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace vex {

namespace {

// Every byte of OUT passes through one buffer of this size, and BASE's bytes that a file's
// are compared with through another: memory stays bounded by the largest picture, whatever
// the size of the raw members.
constexpr std::size_t WriteBufferSize = std::size_t{1} << 20;

[[noreturn]] void RaiseFileChanged() {
  throw EStreamError("File changed while the archive was written");
}

// A read of `file` came short of its `size` bytes: the file ends early because it shrank
// since it was checked, or it still holds them and the system failed the read (a disk
// error), which is no change of the file.
[[noreturn]] void RaiseShortRead(const TFile& file, std::uint64_t size) {
  if (file.Size() == size)
    throw EReadError();
  RaiseFileChanged();
}

std::string SizeText(TPictureSize size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

enum class TSource { Base, RawFile, PictureFile };

struct TPlannedMember {
  std::string name;
  TDirectoryEntry base{}; // an added member's: its key, offset and size 0
  bool added = false;
  TSource source = TSource::Base;
  std::string path;        // the file in FOLDER it comes from
  std::uint64_t size = 0;  // its size in OUT
  std::int32_t offset = 0; // its offset in OUT
  TRawPictureHead head;    // PictureFile: BASE's tag, and the size its file had when checked
  TPictureSize baseSize;   // PictureFile: BASE's picture's size; 0 x 0 for none
};

// OUT's bytes go through one buffer into its temporary file, or nowhere in a dry run. A write
// error names OUT.
class TArchiveWriter {
public:
  TArchiveWriter(TFile* file, const std::string& outPath)
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
    if (used_ != 0 && file_ != nullptr && file_->Write(buffer_.get(), used_) != used_)
      Concerning(outPath_, [] { RaiseLastSystemError(); });
    used_ = 0;
  }

private:
  TFile* file_;
  const std::string& outPath_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t used_ = 0;
};

// Copies `size` bytes from `offset` of `from` into the archive, handing each part to `seen`;
// false when a read comes short (`from` ends first, or the system fails the read).
template <typename Seen>
bool CopyBytes(const TFile& from, std::uint64_t offset, std::uint64_t size, TArchiveWriter& writer,
               Seen seen) {
  while (size > 0) {
    std::size_t room = 0;
    std::uint8_t* at = writer.Room(room);
    const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(room, size));
    if (from.ReadAt(offset, at, part) != part)
      return false;
    seen(at, part);
    writer.Advance(part);
    offset += part;
    size -= part;
  }
  return true;
}

class TArchiveUpdate {
public:
  explicit TArchiveUpdate(const TUpdateRequest& request)
      : request_(request), pictures_(request.templatePath, request.transparentIndex) {
    // An empty folder argument means the current folder, never the root.
    const std::string folder = request.folder.empty() ? "." : request.folder;
    folder_ = IncludeTrailingDelimiter(folder, SystemPathSyntax());
  }

  TUpdateReport Run() {
    ReadBase();
    MatchFolder();
    for (TPlannedMember& member : members_)
      ChooseSource(member);
    LayOut();
    Write();
    report_.notes += Summary();
    return report_;
  }

private:
  void ReadBase();
  void MatchFolder();
  void ChooseSource(TPlannedMember& member);
  void ChoosePicture(TPlannedMember& member);
  void LayOut();
  void Write();
  void WriteDirectory(TArchiveWriter& writer) const;
  bool WriteRawFile(const TPlannedMember& member, TArchiveWriter& writer);
  bool WritePicture(const TPlannedMember& member, TArchiveWriter& writer);
  void WriteMember(const TPlannedMember& member, TArchiveWriter& writer);
  void ReportMember(const TPlannedMember& member, bool differs);
  std::string Summary() const;

  const TUpdateRequest& request_;
  std::string folder_;
  TFile base_;
  std::vector<TPlannedMember> members_;
  TPictureReader pictures_;
  TUpdateReport report_;
  std::size_t replaced_ = 0, added_ = 0, leftOut_ = 0;
};

void TArchiveUpdate::ReadBase() {
  base_ = TFile::OpenOrRaise(request_.basePath, TOpenMode::ReadShareRead);
  const TCheckedDirectory directory = ReadCheckedDirectory(base_, request_.basePath);
  members_.resize(directory.entries.size());
  for (std::size_t i = 0; i < members_.size(); ++i) {
    members_[i].name = directory.names[i];
    members_[i].base = directory.entries[i];
    members_[i].size = static_cast<std::uint64_t>(members_[i].base.size);
  }
}

// Matched files become their members' sources, files to add new members after BASE's.
void TArchiveUpdate::MatchFolder() {
  std::vector<std::string> names;
  names.reserve(members_.size());
  for (const TPlannedMember& member : members_)
    names.push_back(member.name);
  const TFolderMatch match = MatchFolderToMembers(folder_, names, request_.add);
  for (std::size_t i = 0; i < members_.size(); ++i)
    members_[i].path = match.files[i].empty() ? "" : folder_ + match.files[i];
  for (const TAddedFile& file : match.added) {
    TPlannedMember member;
    member.name = file.memberName;
    member.base.key = file.key;
    member.added = true;
    member.path = folder_ + file.fileName;
    members_.push_back(std::move(member));
  }
  for (const std::string& line : match.leftOut)
    report_.notes += "left out: " + line + "\n";
  leftOut_ = match.leftOut.size();
}

// A failure names the file in FOLDER it concerns, or the member when BASE's bytes fail.
void TArchiveUpdate::ChooseSource(TPlannedMember& member) {
  if (member.path.empty())
    return;
  if (IsPictureName(member.name))
    return ChoosePicture(member);
  member.source = TSource::RawFile;
  member.size = Concerning(
      member.path, [&] { return TFile::OpenOrRaise(member.path, TOpenMode::ReadNoLink).Size(); });
}

void TArchiveUpdate::ChoosePicture(TPlannedMember& member) {
  const TPictureSize size = Concerning(member.path, [&] { return ReadPictureSize(member.path); });
  if (size.Empty() && !member.added)
    return; // the unpack's file for a picture of width or height 0: nothing to put back
  const TMemberPictureHead base =
      Concerning(member.name, [&] { return ReadMemberPictureHead(base_, member.base); });
  if (base.head && !member.added)
    member.baseSize = {base.head->width, base.head->height};
  if (size != member.baseSize && !member.added && !request_.resize)
    Concerning(member.path, [&] {
      throw Exception("Picture is " + SizeText(size) + " pixels, BASE's is " +
                      SizeText(member.baseSize) + "; --resize takes the new size");
    });
  member.source = TSource::PictureFile;
  std::copy(base.tag, base.tag + sizeof base.tag, member.head.tag); // BASE's, or 0 for a new one
  member.head.width = size.width;
  member.head.height = size.height;
  member.size = member.head.MemberSize();
}

void TArchiveUpdate::LayOut() {
  if (members_.size() > 0xFFFF) // the member count is a u16
    throw Exception("Archive too large");
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

// OUT is written to a temporary file in its folder, so that the rename stays on one file
// system, and put on the disk before it replaces OUT: a crash leaves the old OUT or the new
// one, never a renamed file whose data was still in memory.
void TArchiveUpdate::Write() {
  std::optional<TReplacingFile> temporary;
  if (!request_.dryRun)
    Concerning(request_.outPath, [&] {
      // OUT's folder is the user's to make: a mistyped one is not made for them.
      temporary.emplace(request_.outPath, TDurability::OnDisk, false);
      if (!temporary->IsOpen())
        TFile::RaiseOpenError(request_.outPath, TOpenMode::CreateNew);
    });
  TArchiveWriter writer(temporary ? &temporary->File() : nullptr, request_.outPath);
  WriteDirectory(writer);
  for (const TPlannedMember& member : members_)
    WriteMember(member, writer);
  writer.Flush();
  if (temporary)
    Concerning(request_.outPath, [&] { temporary->Commit("archive"); });
}

void TArchiveUpdate::WriteDirectory(TArchiveWriter& writer) const {
  std::vector<TDirectoryEntry> entries;
  entries.reserve(members_.size());
  for (const TPlannedMember& member : members_)
    entries.push_back({member.base.key, member.offset, static_cast<std::int32_t>(member.size)});
  const TByteDynArray directory = EncodeDirectory(entries);
  writer.Append(directory.data(), directory.size());
}

// Copies the file, telling whether its bytes differ from BASE's member.
bool TArchiveUpdate::WriteRawFile(const TPlannedMember& member, TArchiveWriter& writer) {
  bool differs = member.size != static_cast<std::uint64_t>(member.base.size);
  std::unique_ptr<std::uint8_t[]> baseBytes(differs ? nullptr : new std::uint8_t[WriteBufferSize]);
  auto basePosition = static_cast<std::uint64_t>(member.base.offset);
  const auto compare = [&](const std::uint8_t* data, std::size_t count) {
    if (differs)
      return;
    Concerning(member.name, [&] { base_.ReadExactAt(basePosition, baseBytes.get(), count); });
    differs = std::memcmp(data, baseBytes.get(), count) != 0;
    basePosition += count;
  };
  Concerning(member.path, [&] {
    const TFile file = TFile::OpenOrRaise(member.path, TOpenMode::ReadNoLink);
    if (file.Size() != member.size)
      RaiseFileChanged();
    if (!CopyBytes(file, 0, member.size, writer, compare))
      RaiseShortRead(file, member.size);
  });
  return differs;
}

// Reads the picture against BASE's of the size it had when checked, telling whether the
// member's bytes differ from BASE's.
bool TArchiveUpdate::WritePicture(const TPlannedMember& member, TArchiveWriter& writer) {
  TBasePicture base;
  const TPictureSize size{member.head.width, member.head.height};
  if (member.baseSize == size) {
    base.size = size;
    base.indices.resize(static_cast<std::size_t>(member.head.PixelCount()));
    Concerning(member.name, [&] {
      base_.ReadExactAt(static_cast<std::uint64_t>(member.base.offset) + RawPixelsAt,
                        base.indices.data(), base.indices.size());
    });
  }
  Concerning(member.path, [&] {
    if (pictures_.Read(member.path, base) != size)
      RaiseFileChanged();
  });
  TByteDynArray head;
  AppendRawPictureHead(head, member.head); // BASE's tag, the file's size
  writer.Append(head.data(), head.size());
  writer.Append(pictures_.Indices().data(), pictures_.Indices().size());
  return member.size != static_cast<std::uint64_t>(member.base.size) || base.size != size ||
         pictures_.ChangedPixels() != 0;
}

void TArchiveUpdate::WriteMember(const TPlannedMember& member, TArchiveWriter& writer) {
  const auto basePosition = static_cast<std::uint64_t>(member.base.offset);
  bool differs = false;
  switch (member.source) {
  case TSource::Base:
    Concerning(member.name, [&] {
      if (!CopyBytes(base_, basePosition, member.size, writer, [](auto, auto) {}))
        throw EReadError();
    });
    return;
  case TSource::RawFile:
    differs = WriteRawFile(member, writer);
    break;
  case TSource::PictureFile:
    differs = WritePicture(member, writer);
    break;
  }
  ReportMember(member, differs);
}

// A member whose bytes differ gets a line; so does a picture with pixels whose opacity was
// set aside, even when its bytes stay BASE's, since the user never sees that otherwise.
void TArchiveUpdate::ReportMember(const TPlannedMember& member, bool differs) {
  const bool picture = member.source == TSource::PictureFile;
  const std::uint64_t transparent = picture ? pictures_.TransparentPixels() : 0;
  const std::uint64_t partly = picture ? pictures_.PartlyTransparentPixels() : 0;
  if (!differs && !member.added && transparent == 0 && partly == 0)
    return;
  if (differs || member.added)
    (member.added ? added_ : replaced_) += 1;
  report_.changes += member.name + (member.added ? "\tadded"
                                    : differs    ? "\treplaced"
                                                 : "\tunchanged");
  if (picture)
    report_.changes += '\t' + std::to_string(pictures_.ChangedPixels()) + '\t' +
                       std::to_string(pictures_.InexactPixels());
  if (transparent != 0)
    report_.changes += '\t' + std::to_string(transparent) + " transparent";
  if (partly != 0)
    report_.changes += '\t' + std::to_string(partly) + " partly transparent";
  report_.changes += '\n';
}

std::string TArchiveUpdate::Summary() const {
  return "Members replaced: " + std::to_string(replaced_) + ", added: " + std::to_string(added_) +
         "; files left out: " + std::to_string(leftOut_) +
         (request_.dryRun ? "; a dry run: nothing was written" : "") + "\n";
}

} // namespace

TUpdateReport UpdateArchive(const TUpdateRequest& request) {
  return TArchiveUpdate(request).Run();
}

} // namespace vex
