// Turns the colours of an edited picture into indices of the palette template's colours.
#pragma once

#include "bmp_format.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vex {

struct TMappedColour {
  std::uint8_t index;
  bool exact; // the palette holds the colour itself
};

class TColourMapper {
public:
  // `palette`: the template's colours; only the first 256 can be indices.
  explicit TColourMapper(std::vector<TPaletteEntry> palette);

  // The lowest index whose colour is exactly this one; else the index of the nearest colour
  // by squared RGB distance, the lowest on ties. An empty palette gives 0, never exact. Each
  // colour is searched for once: a large picture has far fewer colours than pixels.
  TMappedColour Map(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

private:
  TMappedColour Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const;

  std::vector<TPaletteEntry> palette_;
  std::unordered_map<std::uint32_t, TMappedColour> known_;
};

} // namespace vex
