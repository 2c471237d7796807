// Writes the small sample archive of the README's demo: a few pictures of odd sizes, a palette,
// sprite and sound data, and a member whose key has no known name.
// Usage: make_sample_archive OUTPUT.agg
#include "archive_builder.h"
#include "default_palette.h"
#include "known_names.h"

#include <cstdio>

namespace {

using vextools::ArchiveBuilder;
using vextools::CubeIndex;
using vextools::Noise;

// A picture of `width` x `height` from a function of the pixel's position.
template <typename Pixel>
std::vector<std::uint8_t> Picture(std::uint16_t width, std::uint16_t height, Pixel pixel) {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(std::size_t{width} * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.push_back(pixel(x, y));
  return vextools::RawImage(width, height, pixels);
}

ArchiveBuilder SampleArchive() {
  ArchiveBuilder agg;
  // Red grows to the right, blue downwards: the top-left corner is black.
  agg.Add(vex::NameKey("overmain.bmp"),
          Picture(90, 60, [](int x, int y) { return CubeIndex(x * 6 / 90, 2, y * 6 / 60); }));
  // Diagonal stripes in a width that is not a multiple of 4.
  agg.Add(vex::NameKey("boat.bkg"), Picture(37, 21, [](int x, int y) {
            return ((x + y) / 4) % 2 ? CubeIndex(0, 3, 5) : CubeIndex(5, 5, 0);
          }));
  // An arrow pointing left, white on a grey ramp.
  agg.Add(vex::NameKey("left.bmp"), Picture(13, 7, [](int x, int y) {
            const int d = y < 3 ? 3 - y : y - 3;
            return x >= d && (x < 4 || d < 2) ? std::uint8_t{255} : std::uint8_t(216 + x * 2);
          }));
  agg.Add(vex::NameKey("bordedit.BMP"),
          Picture(5, 3, [](int x, int y) { return CubeIndex(x, y * 2, 5 - x); }));
  std::vector<std::uint8_t> kbPal;
  for (const vextools::Rgb& c : vextools::DefaultPalette()) {
    kbPal.insert(kbPal.end(),
                 {static_cast<std::uint8_t>(c.r >> 2), static_cast<std::uint8_t>(c.g >> 2),
                  static_cast<std::uint8_t>(c.b >> 2)});
  }
  agg.Add(vex::NameKey("kb.pal"), kbPal);
  agg.Add(vex::NameKey("font.icn"), Noise(3000, 1));
  agg.Add(vex::NameKey("WINCE00.82M"), Noise(12000, 2));
  agg.Add(0x0001, Noise(64, 3)); // no known name: written as file_7
  return agg;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample_archive OUTPUT.agg\n");
    return 2;
  }
  if (!SampleArchive().WriteTo(argv[1])) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
