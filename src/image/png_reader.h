// Reading PNG files into the parts a bitmap file is read into, so that an edited picture
// saved as PNG goes back into an archive the way a bitmap does. The chunks are walked and
// every size they state is checked against the file before the decoder is given a byte.
#pragma once

#include "bmp_reader.h"
#include "files.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vex {

constexpr std::size_t PngSignatureSize = 8;

// Whether the `PngSignatureSize` bytes at `start` are the PNG signature.
bool IsPngSignature(const std::uint8_t* start);

// Reads the PNG file `file` as a picture. Indexed pictures (colour type 3, any bit depth) come
// as 8-bit pixels: `colours` is the PLTE chunk, `colourAlpha` its tRNS chunk padded with 255 to
// as many entries (empty without one). Every other picture comes as 32-bit pixels, compression
// 3, red 0x00FF0000, green 0x0000FF00, blue 0x000000FF, and `alphaMask` 0xFF000000 when it
// has an alpha channel or a tRNS chunk; 16-bit channels keep their top 8 bits. Rows are stored
// bottom-up at the bitmap stride (`geometry`), as ReadBmpFile stores them. With
// TBmpPixels::CheckedOnly the chunks are walked and checked but nothing is decoded: `pixels`
// stays empty. Raises EInvalidGraphic, with a text that says what is wrong, for: a file that
// is not a PNG, is cut short, or whose chunks break the format's rules; "Picture wider or
// taller than 65535 pixels"; a stated size that its image data could not hold, or that no
// picture store may hold; and image data that the decoder refuses, with its reason. Raises
// EReadError when the system fails a read.
TBmpFileContents ReadPngFile(const TFile& file, TBmpPixels wanted);

} // namespace vex
