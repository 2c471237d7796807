// Writes the default palette template: an 8-bit bitmap of 1 x 1 pixel whose 256-entry colour
// table is the default palette. Usage: make_palette OUTPUT.bmp
#include "default_palette.h"

#include <cstdio>
#include <vector>

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::vector<std::uint8_t> PaletteTemplate() {
  constexpr std::uint32_t pixelOffset = 14 + 40 + 256 * 4;
  constexpr std::uint32_t imageSize = 4; // one row of one pixel, padded to 4 bytes
  std::vector<std::uint8_t> out;
  out.push_back('B'); // file type
  out.push_back('M');
  Put32(out, pixelOffset + imageSize); // file size
  Put32(out, 0);                       // two reserved fields
  Put32(out, pixelOffset);             // pixel offset
  Put32(out, 40);                      // header size
  Put32(out, 1);                       // width
  Put32(out, 1);                       // height
  Put16(out, 1);                       // planes
  Put16(out, 8);                       // bit count
  Put32(out, 0);                       // compression: none
  Put32(out, imageSize);               // image size
  Put32(out, 2835);                    // x resolution: 72 dots per inch
  Put32(out, 2835);                    // y resolution
  Put32(out, 256);                     // colours used
  Put32(out, 0);                       // colours important
  for (const vextools::Rgb& c : vextools::DefaultPalette()) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  Put32(out, 255); // the pixel: white, then padding
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
