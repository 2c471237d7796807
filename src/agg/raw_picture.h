// The head of a raw picture member: a u16 of no meaning to the picture (kept as it stands when
// a picture is put back), u16 width, u16 height, then one palette index per pixel, rows top
// down. One parser and one writer serve the unpack, the listing and the update.
#pragma once

#include "archive_directory.h"
#include "files.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vex {

constexpr std::size_t RawTagAt = 0;
constexpr std::size_t RawWidthAt = 2;
constexpr std::size_t RawHeightAt = 4;
constexpr std::size_t RawPixelsAt = 6;

struct TRawPictureHead {
  std::uint8_t tag[2] = {};
  std::uint16_t width = 0;
  std::uint16_t height = 0;

  std::uint64_t PixelCount() const { return std::uint64_t{width} * height; }
  // The bytes of a member that holds this head and its pixels, and nothing after them.
  std::uint64_t MemberSize() const { return RawPixelsAt + PixelCount(); }
};

// The head of a picture member of `memberSize` bytes whose first bytes `head` holds (at least
// RawPixelsAt of them when the member has that many; not read otherwise). Nothing when the
// member is short: too short for its head, or for the pixels its head promises.
std::optional<TRawPictureHead> ParseRawPictureHead(const std::uint8_t* head,
                                                   std::uint64_t memberSize);

// A picture member's head as its archive holds it: the tag is the member's first two bytes
// (zeros past its end), and `head` is nothing when the member is too short for its head or
// its pixels (see ParseRawPictureHead).
struct TMemberPictureHead {
  std::uint8_t tag[2] = {};
  std::optional<TRawPictureHead> head;
};

// Reads the head of the picture member `entry` of `archive`, whose place CheckEntry has
// passed: its first RawPixelsAt bytes, or as many as it has. The one reader of picture heads
// for the unpack, its disk check, the listing and the update. Raises EReadError when the
// read fails.
TMemberPictureHead ReadMemberPictureHead(const TFile& archive, const TDirectoryEntry& entry);

// Appends the head's RawPixelsAt bytes.
void AppendRawPictureHead(TByteDynArray& out, const TRawPictureHead& head);

} // namespace vex
