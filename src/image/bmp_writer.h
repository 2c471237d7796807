// Writing BMP files: an image's header, colour table and pixel rows encoded into a byte
// buffer. Where the buffer goes is the caller's: the encoder touches no file.
#pragma once

#include "bmp_format.h"
#include "files.h"
#include "pixel_store.h"

#include <cstdint>
#include <vector>

namespace vex {

// An image as the encoder takes it.
struct TBmpImage {
  // The fields written: width, height, bit count, compression, image size (the store's
  // bytes), x and y resolution, and with compression 3 the masks. The height is the store's
  // row count, positive: written files are always bottom-up.
  const TBitmapInfoHeader& header;
  // A 12-byte core header with 16-bit sizes and 3-byte colour entries, instead of 40 bytes.
  bool coreHeader;
  // The colours that begin the colour table: at most ColourTableEntries of them.
  const std::vector<TPaletteEntry>& palette;
  const TPixelStore& pixels;
  // Set when the store's first row is the picture's top row.
  bool topDownStore;
};

// The entries of a written colour table: one for every index a pixel of `bitCount` bits can
// hold (2, 16 or 256), whatever the palette's count, and none above 8 bits. Pixels of a
// palette of fewer colours may use any index, and a file whose pixels point past its table is
// refused by most readers.
std::uint32_t ColourTableEntries(std::uint16_t bitCount);

// The bytes of the BMP file EncodeBmpFile writes for an image with `header` (its bit count,
// compression and image size) in an info header, or with `coreHeader` a core one: the file's
// headers, its colour table, then the pixel rows.
std::uint64_t BmpFileSize(const TBitmapInfoHeader& header, bool coreHeader);

// Replaces the bytes of `file` by the BMP file of `image`: file header, info or core header
// (colours used: the table's entries; colours important: 0), the palette's colours then black
// up to ColourTableEntries, and the pixel rows, bottom row first, each with its padding. The
// buffer keeps its capacity for the next file. Raises EOutOfMemory when the file's bytes
// cannot be had.
void EncodeBmpFile(const TBmpImage& image, TByteDynArray& file);

} // namespace vex
