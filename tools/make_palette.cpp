// Writes the default palette template: an 8-bit bitmap of 1 x 1 pixel whose 256-entry colour
// table is the default palette. Usage: make_palette OUTPUT.bmp
#include "default_palette.h"
#include "little_endian.h"

#include <cstdio>
#include <vector>

namespace {

using vex::PutU16;
using vex::PutU32;
using vex::PutU8;

std::vector<std::uint8_t> PaletteTemplate() {
  constexpr std::uint32_t pixelOffset = 14 + 40 + 256 * 4;
  constexpr std::uint32_t imageSize = 4; // one row of one pixel, padded to 4 bytes
  std::vector<std::uint8_t> out;
  PutU8(out, 'B');                      // file type
  PutU8(out, 'M');                      // file type, second byte
  PutU32(out, pixelOffset + imageSize); // file size
  PutU32(out, 0);                       // two reserved fields
  PutU32(out, pixelOffset);             // pixel offset
  PutU32(out, 40);                      // header size
  PutU32(out, 1);                       // width
  PutU32(out, 1);                       // height
  PutU16(out, 1);                       // planes
  PutU16(out, 8);                       // bit count
  PutU32(out, 0);                       // compression: none
  PutU32(out, imageSize);               // image size
  PutU32(out, 2835);                    // x resolution: 72 dots per inch
  PutU32(out, 2835);                    // y resolution
  PutU32(out, 256);                     // colours used
  PutU32(out, 0);                       // colours important
  for (const vextools::Rgb& c : vextools::DefaultPalette()) {
    PutU8(out, c.b); // blue, green, red, reserved
    PutU8(out, c.g);
    PutU8(out, c.r);
    PutU8(out, 0);
  }
  PutU32(out, 255); // the pixel: white, then padding
  return out;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_palette OUTPUT.bmp\n");
    return 2;
  }
  const std::vector<std::uint8_t> bytes = PaletteTemplate();
  std::FILE* f = std::fopen(argv[1], "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
      std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
