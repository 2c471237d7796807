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

// Reads the BMP file at `path`. Raises what TBitmap::ReadBitmapFile documents.
TBmpFileContents ReadBmpFile(const std::string& path);

} // namespace vex
