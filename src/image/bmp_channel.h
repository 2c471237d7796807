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

// The channel's value in `value` on the scale of 0 to 255: its bits repeated down to fill 8
// (a channel of more bits keeps its top 8), as ImageMagick reads 5- and 6-bit channels. Writers
// store a colour in fewer bits by cutting it (ImageMagick: v × 31 / 255 rounded down), and
// every colour that then reads back unchanged in ImageMagick reads back unchanged here too, so
// an unpacked picture saved as 5-5-5 maps back to its exact colours wherever they survive.
std::uint8_t Scaled(std::uint32_t value, const TChannel& channel);

// Whether the channel's value in `value` is what the 8-bit `colour` becomes when a writer
// stores it in the channel's bits. Below 8 bits writers differ: some cut the low bits
// (colour >> (8 - bits)), ImageMagick cuts the product (colour × max / 255 rounded down),
// others round it; each of these counts, so an unedited picture saved in fewer bits by any
// of them is seen as unedited. A channel of 8 bits or more must keep the colour in its top 8.
bool StoresColour(std::uint32_t value, const TChannel& channel, std::uint8_t colour);

} // namespace vex
