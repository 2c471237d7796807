// Colour channels of 16- and 32-bit pixels: where a bit-field mask puts each one, and its
// value widened to the 8 bits of a palette colour.
#pragma once

#include <cstdint>

namespace vex {

// One colour channel of a pixel value: (value >> shift) & max, max being 2^bits - 1.
struct TChannel {
  unsigned shift = 0;
  std::uint32_t max = 0;
};

// The channel `mask` picks out. Raises EInvalidGraphic "Bitmap image is not valid" for a mask
// of 0 or one whose bits are not a single run.
TChannel ChannelOf(std::uint32_t mask);

// The channel's value in `value` on the scale of 0 to 255, rounded down (v × 255 / max), as
// Pillow and netpbm read 5- and 6-bit channels: a colour that an editor stores in fewer bits
// and reads back unchanged then reads back unchanged here too.
inline std::uint8_t Scaled(std::uint32_t value, const TChannel& channel) {
  const std::uint64_t v = (value >> channel.shift) & channel.max;
  return static_cast<std::uint8_t>(v * 255 / channel.max);
}

} // namespace vex
