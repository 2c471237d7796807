// Listing an archive's directory. A picture's size comes from the first 6 bytes of its
// member, never from its whole data.
#include "archive_listing.h"

#include "archive_directory.h"
#include "checked_directory.h"
#include "exceptions.h"
#include "member_names.h"
#include "raw_picture.h"

#include <cstdio>
#include <optional>

namespace vex {

namespace {

std::string KindOf(const TFile& archive, const TDirectoryEntry& entry, const std::string& name) {
  if (!IsPictureName(name))
    return "raw";
  const std::optional<TRawPictureHead> parsed = ReadMemberPictureHead(archive, entry).head;
  if (!parsed)
    return "picture (short)";
  return "picture " + std::to_string(parsed->width) + "x" + std::to_string(parsed->height);
}

std::string HexKey(std::uint16_t key) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(key));
  return text;
}

} // namespace

std::string ListArchive(const std::string& archivePath) {
  const TFile archive = TFile::OpenOrRaise(archivePath, TOpenMode::ReadShareRead);
  const TCheckedDirectory directory = ReadCheckedDirectory(archive, archivePath);
  std::string rows = "index\tkey\tname\toffset\tsize\tkind\tfile\n";
  for (std::size_t i = 0; i < directory.entries.size(); ++i) {
    const TDirectoryEntry& entry = directory.entries[i];
    const std::string& name = directory.names[i];
    const std::string kind = Concerning(name, [&] { return KindOf(archive, entry, name); });
    rows += std::to_string(i) + '\t' + HexKey(entry.key) + '\t' + name + '\t' +
            std::to_string(entry.offset) + '\t' + std::to_string(entry.size) + '\t' + kind + '\t' +
            MemberFileName(name) + '\n';
  }
  return rows;
}

} // namespace vex
