// The default palette written beside the executable: a general-purpose 256-colour table.
//   0..215    a 6 x 6 x 6 colour cube: index 36 r + 6 g + b, each of r, g, b from 0 to 5
//             standing for the levels 0, 51, 102, 153, 204 and 255;
//   216..255  a ramp of 40 greys from black to white, level = round(k * 255 / 39), k = 0..39.
#pragma once

#include <array>
#include <cstdint>

namespace vextools {

struct Rgb {
  std::uint8_t r, g, b;
};

inline std::array<Rgb, 256> DefaultPalette() {
  std::array<Rgb, 256> palette{};
  for (int i = 0; i < 216; ++i) {
    palette[i] = {static_cast<std::uint8_t>(i / 36 * 51), static_cast<std::uint8_t>(i / 6 % 6 * 51),
                  static_cast<std::uint8_t>(i % 6 * 51)};
  }
  for (int k = 0; k < 40; ++k) {
    const auto level = static_cast<std::uint8_t>((k * 255 + 19) / 39);
    palette[216 + k] = {level, level, level};
  }
  return palette;
}

// The cube's index for levels r, g, b in 0..5.
constexpr std::uint8_t CubeIndex(int r, int g, int b) {
  return static_cast<std::uint8_t>(36 * r + 6 * g + b);
}

} // namespace vextools
