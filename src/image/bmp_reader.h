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
