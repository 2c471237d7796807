// Palettes as users keep them, recognised by their content rather than their name: raw tables
// of 256 colours (6-bit VGA or 8-bit), the text formats of paint programs (JASC-PAL, GIMP),
// RIFF palettes, and the colour table of a bitmap; and the palette template made from one.
#pragma once

#include "bmp_format.h"
#include "byte_source.h"
#include "files.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vex {

// How the values of a palette are read.
enum class TPaletteBits {
  Guess, // raw palettes: 6-bit when every value is at most 63; every other format: 8-bit
  Six,   // every value is 0..63 and is scaled to 8 bits (v << 2 | v >> 4)
  Eight, // every value is 0..255 and is taken as it stands
};

struct TPalette {
  std::string format;                 // "raw", "JASC-PAL", "GIMP", "RIFF" or "bitmap"
  std::vector<TPaletteEntry> colours; // 1 to 256, in 8 bits, flags 0
  int bits = 8;                       // what the values were read as: 6 or 8
};

// The formats DecodePalette takes, as a sentence that ends every refusal.
extern const char* const PaletteFormatsTaken;

// Decodes the palette whose bytes `source` gives. Raises EInvalidGraphic, with a text that says
// what is wrong and ends with PaletteFormatsTaken, for content of no format it takes, a file of
// a known format that breaks its rules, more than 256 or no colours, and a value out of range
// for `bits`; and what reading `source` raises. Content of no format that is larger than any
// text palette is refused before it is read.
TPalette DecodePalette(const TByteSource& source, TPaletteBits bits = TPaletteBits::Guess);
// The same for the palette held in the `size` bytes of `file` that begin at `offset`: a whole
// file, or a member of an archive.
TPalette ReadPalette(const TFile& file, std::uint64_t offset, std::uint64_t size,
                     TPaletteBits bits = TPaletteBits::Guess);

// The palette template of `colours` (1 to 256): an 8-bit bitmap of 1 x 1 pixel with a 40-byte
// info header, 72 dots per inch, and a full 256-entry colour table, the colours then black.
TByteDynArray EncodePaletteTemplate(const std::vector<TPaletteEntry>& colours);

} // namespace vex
