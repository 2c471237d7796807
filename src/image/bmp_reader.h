// Reading BMP files into the parts an image is made from. Every size the file states is
// checked against what the file holds before it is used, so a hostile file can make the
// reader allocate no more than the file's own size.
#pragma once

#include "bmp_format.h"
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
  // Uncompressed (compression 0 or 3) images only: the store the image needs, and the pixel
  // bytes the file holds, at most the store's size.
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

// Where ReadBmpFile looks for the pixels, and how many it wants.
enum class TBmpPixels {
  // A palette template: the pixels are taken to follow the colour table at once, as many as
  // the file holds. A template's own pixels never reach a written file.
  AfterColourTable,
  // A picture whose pixels matter: they lie where the file header's pixel offset says (other
  // writers leave gaps before them), and every pixel row must be there.
  AtPixelOffset,
  // As AtPixelOffset, but the pixels are only checked to be there, not read.
  CheckedOnly,
};

// Reads the BMP file at `path`. Raises what TBitmap::ReadBitmapFile documents. With
// AtPixelOffset and CheckedOnly, uncompressed pictures also raise EInvalidGraphic when the
// pixel offset points into the headers or colour table, and EReadError when the file ends
// before the last pixel; `pixels` then holds every row but the last one's padding.
TBmpFileContents ReadBmpFile(const std::string& path,
                             TBmpPixels wanted = TBmpPixels::AfterColourTable);

} // namespace vex
