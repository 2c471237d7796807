// Exact and nearest colours in the template's palette, remembered per colour.
#include "colour_mapper.h"

#include <limits>
#include <utility>

namespace vex {

TColourMapper::TColourMapper(std::vector<TPaletteEntry> palette) : palette_(std::move(palette)) {
  if (palette_.size() > bmp::MaxColourEntries)
    palette_.resize(bmp::MaxColourEntries);
}

TMappedColour TColourMapper::Map(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const std::uint32_t key = (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
  const auto found = known_.find(key);
  if (found != known_.end())
    return found->second;
  const TMappedColour mapped = Search(red, green, blue);
  known_.emplace(key, mapped);
  return mapped;
}

TMappedColour TColourMapper::Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
  TMappedColour best{0, false};
  std::uint32_t bestDistance = std::numeric_limits<std::uint32_t>::max();
  for (std::size_t i = 0; i < palette_.size(); ++i) {
    const TPaletteEntry& c = palette_[i];
    const int dr = c.red - red, dg = c.green - green, db = c.blue - blue;
    const auto distance = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
    // Strictly nearer only: on ties the lower index, found first, stays.
    if (distance < bestDistance) {
      bestDistance = distance;
      best = {static_cast<std::uint8_t>(i), distance == 0};
      if (distance == 0)
        break;
    }
  }
  return best;
}

} // namespace vex
