// Reading BMP files into the parts an image is made from. Every size the file states is
// checked against what the file holds before it is used, so a hostile file can make the
// reader allocate no more than the file's own size.
#pragma once

#include "bmp_format.h"
#include "byte_source.h"
#include "files.h"
#include "pixel_store.h"

#include <string>
#include <vector>

namespace vex {

struct TBmpFileContents {
  bool empty = true; // a file of 0 bytes: nothing else was read
  bool coreHeader = false;
  // The file's header; header size 40 and zero extra fields for a core header, colours used
  // replaced by the entries the bit count implies when it is 0.
  TBitmapInfoHeader header;
  std::vector<TPaletteEntry> colours; // the colour table, in file order
  // Opacity, 0 (transparent) to 255 (opaque): of each colour table entry (a PNG's tRNS),
  // empty when all are opaque; and the bits of a 32-bit pixel that hold it (a V4 or V5
  // header's alpha mask, or a PNG's alpha channel), 0 when the pixels carry none.
  std::vector<std::uint8_t> colourAlpha;
  std::uint32_t alphaMask = 0;
  // Uncompressed (compression 0 or 3) images and decoded RLE pictures only: the store the
  // image needs, and the pixel bytes the file holds, at most the store's size.
  TStoreGeometry geometry;
  TByteDynArray pixels;
  // RLE pictures read at their pixel offset come decoded: `header` then says compression 0,
  // and `geometry` and `pixels` hold them as an uncompressed picture of the same bit count
  // (8 for RLE8, 4 for RLE4), stored bottom-up. `covered` then has one byte per pixel, rows top
  // first, 0 where the stream left the pixel out (skipped by a delta, or cut off by an end of
  // line or of bitmap); such pixels hold index 0 in `pixels`. Empty for every other file: all
  // its pixels are in it.
  std::vector<std::uint8_t> covered;
};

// Where DecodeBmpFile looks for the pixels, and how many it wants.
enum class TBmpPixels {
  // A palette template: the pixels are taken to follow the colour table at once, as many as
  // the file holds. A template's own pixels never reach a written file.
  AfterColourTable,
  // A picture whose pixels matter: they lie where the file header's pixel offset says (other
  // writers leave gaps before them), and every pixel row must be there.
  AtPixelOffset,
  // As AtPixelOffset, but the pixels are only checked to be there (an RLE stream is run
  // through as a whole), not kept: `header` and `geometry` are those AtPixelOffset gives.
  CheckedOnly,
};

// Decodes the BMP file whose bytes `source` gives, reading no further into them than it needs.
// Raises what TBitmap::ReadBitmapFile documents but EFOpenError. With AtPixelOffset and
// CheckedOnly, pictures raise EInvalidGraphic instead, each with a text that says what is
// wrong, for: a PNG, JPEG or GIF file; a compression other than none, bit-field masks, RLE8 at
// 8 bits and RLE4 at 4 bits; a top-down RLE picture; an RLE stream that DecodeRle refuses; and a
// file that ends before the last pixel row. They also raise EInvalidGraphic "Bitmap image is not
// valid" when the pixel offset points into the headers or colour table. An uncompressed
// picture's `pixels` hold every row but the last one's padding.
TBmpFileContents DecodeBmpFile(const TByteSource& source,
                               TBmpPixels wanted = TBmpPixels::AfterColourTable);
// Decodes the BMP file at `path`; raises EFOpenError when it cannot be opened, then what
// DecodeBmpFile raises.
TBmpFileContents ReadBmpFile(const std::string& path,
                             TBmpPixels wanted = TBmpPixels::AfterColourTable);
// The same for the BMP file held in the `size` bytes of `file` that begin at `offset`, a member
// of an archive say: they end the BMP file, whatever follows them in `file`.
TBmpFileContents ReadBmpFile(const TFile& file, std::uint64_t offset, std::uint64_t size,
                             TBmpPixels wanted);

} // namespace vex
