// Bit-field masks as colour channels.
#include "bmp_channel.h"

#include "bmp_format.h"

namespace vex {

TChannel ChannelOf(std::uint32_t mask) {
  if (mask == 0)
    RaiseInvalidGraphic();
  TChannel channel;
  while (((mask >> channel.shift) & 1) == 0)
    ++channel.shift;
  channel.max = mask >> channel.shift;
  if ((channel.max & (channel.max + 1)) != 0) // bits missing inside the run
    RaiseInvalidGraphic();
  return channel;
}

namespace {

unsigned BitsOf(const TChannel& channel) {
  unsigned bits = 0;
  while (bits < 32 && (channel.max >> bits) != 0)
    ++bits;
  return bits;
}

} // namespace

std::uint8_t Scaled(std::uint32_t value, const TChannel& channel) {
  const std::uint32_t v = (value >> channel.shift) & channel.max;
  const unsigned bits = BitsOf(channel);
  if (bits >= 8)
    return static_cast<std::uint8_t>(v >> (bits - 8));
  std::uint32_t repeated = 0;
  unsigned filled = 0;
  for (; filled < 8; filled += bits)
    repeated = repeated << bits | v;
  return static_cast<std::uint8_t>(repeated >> (filled - 8));
}

bool StoresColour(std::uint32_t value, const TChannel& channel, std::uint8_t colour) {
  const unsigned bits = BitsOf(channel);
  if (bits >= 8)
    return Scaled(value, channel) == colour;
  const std::uint32_t v = (value >> channel.shift) & channel.max;
  const std::uint32_t product = std::uint32_t{colour} * channel.max;
  return v == std::uint32_t{colour} >> (8 - bits) || v == product / 255 ||
         v == (product + 127) / 255;
}

} // namespace vex
