// The BMP encoder: one sequence of little-endian puts into a buffer reserved at the file's
// exact size, so the bytes are laid down once and never moved.
#include "bmp_writer.h"

#include "exceptions.h"
#include "little_endian.h"

#include <new>

namespace vex {

namespace {

using namespace bmp;

// Written files are always bottom-up, with colours important 0.
void PutInfoHeader(const TBitmapInfoHeader& image, std::uint32_t tableEntries,
                   TByteDynArray& file) {
  PutU32(file, InfoHeaderSize);    // header size
  PutI32(file, image.width);       // width
  PutI32(file, image.height);      // height
  PutU16(file, 1);                 // planes
  PutU16(file, image.bitCount);    // bit count
  PutU32(file, image.compression); // compression
  PutU32(file, image.imageSize);   // image size
  PutI32(file, image.xResolution); // x resolution
  PutI32(file, image.yResolution); // y resolution
  PutU32(file, tableEntries);      // colours used
  PutU32(file, 0);                 // colours important
  if (image.compression == CompressionBitFields) {
    PutU32(file, image.redMask);   // red mask
    PutU32(file, image.greenMask); // green mask
    PutU32(file, image.blueMask);  // blue mask
  }
}

void PutCoreHeader(const TBitmapInfoHeader& image, TByteDynArray& file) {
  PutU32(file, CoreHeaderSize);                           // header size
  PutU16(file, static_cast<std::uint16_t>(image.width));  // width
  PutU16(file, static_cast<std::uint16_t>(image.height)); // height
  PutU16(file, 1);                                        // planes
  PutU16(file, image.bitCount);                           // bit count
}

// The palette's colours, then zero (black) entries up to `tableEntries`.
void PutColourTable(const TBmpImage& image, std::uint32_t tableEntries, TByteDynArray& file) {
  for (std::uint32_t i = 0; i < tableEntries; ++i) {
    const TPaletteEntry colour = i < image.palette.size() ? image.palette[i] : TPaletteEntry{};
    PutU8(file, colour.blue);
    PutU8(file, colour.green);
    PutU8(file, colour.red);
    if (!image.coreHeader)
      PutU8(file, 0);
  }
}

// The bottom row of the picture first, each row with its padding. A store still holding only
// a file's bytes is written from those, the rest as zero.
void PutPixels(const TPixelStore& pixels, bool topDownStore, TByteDynArray& file) {
  const std::uint64_t rows = pixels.Rows();
  const std::size_t stride = pixels.Stride();
  for (std::uint64_t fileRow = 0; fileRow < rows; ++fileRow) {
    const std::uint64_t index = topDownStore ? rows - 1 - fileRow : fileRow;
    std::size_t held = 0;
    const std::uint8_t* row = pixels.HeldRow(index, held);
    file.insert(file.end(), row, row + held);
    file.insert(file.end(), stride - held, 0);
  }
}

} // namespace

std::uint32_t ColourTableEntries(std::uint16_t bitCount) {
  return bitCount <= 8 ? 1u << bitCount : 0;
}

namespace {

// Where the pixel rows start: after the file header, the info or core header (and the masks of
// a bit-field image) and the colour table.
std::uint32_t PixelOffset(const TBitmapInfoHeader& header, bool core) {
  const std::uint32_t masks = header.compression == CompressionBitFields ? MasksSize : 0;
  const std::uint32_t headerBytes = core ? CoreHeaderSize : InfoHeaderSize + masks;
  const std::uint32_t tableBytes = ColourTableEntries(header.bitCount) *
                                   static_cast<std::uint32_t>(core ? CoreEntrySize : InfoEntrySize);
  return static_cast<std::uint32_t>(FileHeaderSize) + headerBytes + tableBytes;
}

} // namespace

std::uint64_t BmpFileSize(const TBitmapInfoHeader& header, bool coreHeader) {
  return PixelOffset(header, coreHeader) + std::uint64_t{header.imageSize};
}

// The pixel offset and the colour table come from the same entry count, so the header never
// points anywhere but at the first pixel row.
void EncodeBmpFile(const TBmpImage& image, TByteDynArray& file) {
  const TBitmapInfoHeader& header = image.header;
  const bool core = image.coreHeader;
  const std::uint32_t tableEntries = ColourTableEntries(header.bitCount);
  const std::uint32_t pixelOffset = PixelOffset(header, core);
  // The store is at most MaxStoreBytes, so the file size fits its u32 field.
  const auto fileSize = static_cast<std::uint32_t>(BmpFileSize(header, core));
  try {
    file.clear();
    file.reserve(fileSize);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
  PutU8(file, FileType0);    // file type "BM"
  PutU8(file, FileType1);    // file type, second byte
  PutU32(file, fileSize);    // file size
  PutU16(file, 0);           // reserved
  PutU16(file, 0);           // reserved
  PutU32(file, pixelOffset); // pixel offset
  if (core)
    PutCoreHeader(header, file);
  else
    PutInfoHeader(header, tableEntries, file);
  PutColourTable(image, tableEntries, file);
  PutPixels(image.pixels, image.topDownStore, file);
}

} // namespace vex
