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

} // namespace vex
