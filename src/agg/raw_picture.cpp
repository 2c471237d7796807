// Parsing and writing a raw picture's head.
#include "raw_picture.h"

#include "little_endian.h"

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

void AppendRawPictureHead(TByteDynArray& out, const TRawPictureHead& head) {
  PutU8(out, head.tag[0]);  // tag, first byte
  PutU8(out, head.tag[1]);  // tag, second byte
  PutU16(out, head.width);  // width
  PutU16(out, head.height); // height
}

} // namespace vex
