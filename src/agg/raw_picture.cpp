// Parsing and writing a raw picture's head.
#include "raw_picture.h"

#include "little_endian.h"

#include <algorithm>

namespace vex {

std::optional<TRawPictureHead> ParseRawPictureHead(const std::uint8_t* head,
                                                   std::uint64_t memberSize) {
  if (memberSize < RawPixelsAt)
    return std::nullopt;
  TRawPictureHead parsed;
  parsed.tag[0] = head[RawTagAt];
  parsed.tag[1] = head[RawTagAt + 1];
  parsed.width = GetU16(head + RawWidthAt);
  parsed.height = GetU16(head + RawHeightAt);
  // A member must hold every pixel its head promises; what follows them is never read.
  if (memberSize - RawPixelsAt < parsed.PixelCount())
    return std::nullopt;
  return parsed;
}

TMemberPictureHead ReadMemberPictureHead(const TFile& archive, const TDirectoryEntry& entry) {
  std::uint8_t bytes[RawPixelsAt] = {};
  const auto size = static_cast<std::uint64_t>(entry.size);
  if (size != 0)
    archive.ReadExactAt(static_cast<std::uint64_t>(entry.offset), bytes,
                        static_cast<std::size_t>(std::min<std::uint64_t>(sizeof bytes, size)));
  TMemberPictureHead read;
  std::copy(bytes + RawTagAt, bytes + RawTagAt + sizeof read.tag, read.tag);
  read.head = ParseRawPictureHead(bytes, size);
  return read;
}

void AppendRawPictureHead(TByteDynArray& out, const TRawPictureHead& head) {
  PutU8(out, head.tag[0]);  // tag, first byte
  PutU8(out, head.tag[1]);  // tag, second byte
  PutU16(out, head.width);  // width
  PutU16(out, head.height); // height
}

} // namespace vex
