// Listing an archive's directory. A picture's size comes from the first 6 bytes of its
// member, never from its whole data.
#include "archive_listing.h"

#include "archive_directory.h"
#include "exceptions.h"
#include "member_names.h"
#include "raw_picture.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace vex {

namespace {

std::string KindOf(const TFile& archive, const TDirectoryEntry& entry, const std::string& name) {
  if (!IsPictureName(name))
    return "raw";
  const auto size = static_cast<std::uint64_t>(entry.size);
  std::uint8_t head[RawPixelsAt] = {};
  if (size >= RawPixelsAt)
    archive.ReadExactAt(static_cast<std::uint64_t>(entry.offset), head, sizeof head);
  const std::optional<TRawPictureHead> parsed = ParseRawPictureHead(head, size);
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
  const std::uint64_t archiveSize = archive.Size();
  const std::vector<TDirectoryEntry> entries = ReadDirectory(archive);
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    names.push_back(MemberName(entries[i].key, i));
    Concerning(names.back(), [&] { CheckEntry(entries[i], archiveSize); });
  }
  std::string rows = "index\tkey\tname\toffset\tsize\tkind\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TDirectoryEntry& entry = entries[i];
    const std::string kind = Concerning(names[i], [&] { return KindOf(archive, entry, names[i]); });
    rows += std::to_string(i) + '\t' + HexKey(entry.key) + '\t' + names[i] + '\t' +
            std::to_string(entry.offset) + '\t' + std::to_string(entry.size) + '\t' + kind + '\n';
  }
  return rows;
}

} // namespace vex
