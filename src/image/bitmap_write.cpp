// TBitmap::WriteBitmapFile: the whole file is assembled in one reusable buffer and handed to
// the system in one write, since the tool writes hundreds of files in a run.
#include "bitmap.h"

#include "bmp_format.h"
#include "exceptions.h"
#include "little_endian.h"

#include <new>

namespace vex {

using namespace bmp;

void TBitmap::WriteBitmapFile(const std::string& path) {
  if (image_.kind == ImageKind::Dependent)
    RaiseInvalidGraphic();
  if (image_.kind == ImageKind::Independent) {
    // A core header has 16-bit sizes; cutting a larger one would make a wrong file.
    if (image_.coreHeaderStyle && (image_.width > std::int32_t{CoreMaxDimension} ||
                                   image_.height > std::int32_t{CoreMaxDimension}))
      RaiseInvalidGraphic();
    const std::uint32_t tableEntries = TableEntriesToWrite();
    AssembleFile(ColourEntriesToWrite(), tableEntries);
    if (tableEntries != 0)
      image_.held.coloursUsed = tableEntries; // as the file's header now says
  }
  TFile file = TFile::OpenOrRaise(path, TOpenMode::CreateAlways);
  const bool written = image_.kind == ImageKind::None ||
                       file.Write(writeBuffer_.data(), writeBuffer_.size()) == writeBuffer_.size();
  // A write error reported only at close is a write error all the same.
  if (!written || !file.Close())
    throw EWriteError();
}

// The entries of the image's colour table, or the held colours used when that is fewer.
std::uint32_t TBitmap::ColourEntriesToWrite() const {
  const std::uint32_t reported = image_.description.coloursUsed;
  const std::uint32_t held = image_.held.coloursUsed;
  return held != 0 && held < reported ? held : reported;
}

// An entry for every index a pixel can hold: 2, 16 or 256, in both header styles, whatever
// the palette's count. Pixels of a template of fewer colours may use any index, and a file
// whose pixels point past its table is refused by most readers; the extra entries are black.
// No table above 8 bits.
std::uint32_t TBitmap::TableEntriesToWrite() const {
  const std::uint16_t bitCount = image_.description.bitCount;
  return bitCount <= 8 ? 1u << bitCount : 0;
}

// The pixel offset and the colour table come from the same entry count, so the header never
// points anywhere but at the first pixel row.
void TBitmap::AssembleFile(std::uint32_t colourEntries, std::uint32_t tableEntries) {
  const TBitmapInfoHeader& image = image_.description;
  const bool core = image_.coreHeaderStyle;
  const std::uint32_t masks = image.compression == CompressionBitFields ? MasksSize : 0;
  const std::uint32_t headerBytes = core ? CoreHeaderSize : InfoHeaderSize + masks;
  const std::uint32_t tableBytes =
      tableEntries * static_cast<std::uint32_t>(core ? CoreEntrySize : InfoEntrySize);
  // The store is at most MaxStoreBytes, so the file size fits its u32 field.
  const std::uint32_t pixelOffset =
      static_cast<std::uint32_t>(FileHeaderSize) + headerBytes + tableBytes;
  const std::uint32_t fileSize = pixelOffset + image.imageSize;
  try {
    writeBuffer_.clear();
    writeBuffer_.reserve(fileSize);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
  PutU8(writeBuffer_, FileType0);    // file type "BM"
  PutU8(writeBuffer_, FileType1);    // file type, second byte
  PutU32(writeBuffer_, fileSize);    // file size
  PutU16(writeBuffer_, 0);           // reserved
  PutU16(writeBuffer_, 0);           // reserved
  PutU32(writeBuffer_, pixelOffset); // pixel offset
  if (core)
    AppendCoreHeader();
  else
    AppendInfoHeader(tableEntries);
  AppendColourTable(colourEntries, tableEntries);
  AppendPixels();
}

// Written files are always bottom-up, with the held resolution and colours important 0.
void TBitmap::AppendInfoHeader(std::uint32_t tableEntries) {
  const TBitmapInfoHeader& image = image_.description;
  const TBitmapInfoHeader& held = image_.held;
  PutU32(writeBuffer_, InfoHeaderSize);    // header size
  PutI32(writeBuffer_, image.width);       // width
  PutI32(writeBuffer_, image_.height);     // height
  PutU16(writeBuffer_, 1);                 // planes
  PutU16(writeBuffer_, image.bitCount);    // bit count
  PutU32(writeBuffer_, image.compression); // compression
  PutU32(writeBuffer_, image.imageSize);   // image size
  PutI32(writeBuffer_, held.xResolution);  // x resolution
  PutI32(writeBuffer_, held.yResolution);  // y resolution
  PutU32(writeBuffer_, tableEntries);      // colours used
  PutU32(writeBuffer_, 0);                 // colours important
  if (image.compression == CompressionBitFields) {
    PutU32(writeBuffer_, image.redMask);   // red mask
    PutU32(writeBuffer_, image.greenMask); // green mask
    PutU32(writeBuffer_, image.blueMask);  // blue mask
  }
}

void TBitmap::AppendCoreHeader() {
  const TBitmapInfoHeader& image = image_.description;
  PutU32(writeBuffer_, CoreHeaderSize);                            // header size
  PutU16(writeBuffer_, static_cast<std::uint16_t>(image.width));   // width
  PutU16(writeBuffer_, static_cast<std::uint16_t>(image_.height)); // height
  PutU16(writeBuffer_, 1);                                         // planes
  PutU16(writeBuffer_, image.bitCount);                            // bit count
}

// `colourEntries` palette colours, then zero (black) entries up to `tableEntries`.
void TBitmap::AppendColourTable(std::uint32_t colourEntries, std::uint32_t tableEntries) {
  const bool core = image_.coreHeaderStyle;
  for (std::uint32_t i = 0; i < tableEntries; ++i) {
    const TPaletteEntry colour = i < colourEntries ? image_.palette[i] : TPaletteEntry{};
    PutU8(writeBuffer_, colour.blue);
    PutU8(writeBuffer_, colour.green);
    PutU8(writeBuffer_, colour.red);
    if (!core)
      PutU8(writeBuffer_, 0);
  }
}

// The bottom row of the picture first, each row with its padding. A store still holding only
// a file's bytes is written from those, the rest as zero.
void TBitmap::AppendPixels() {
  const std::uint64_t rows = image_.store.Rows();
  const std::size_t stride = image_.store.Stride();
  for (std::uint64_t fileRow = 0; fileRow < rows; ++fileRow) {
    const std::uint64_t pictureRow = rows - 1 - fileRow;
    std::size_t held = 0;
    const std::uint8_t* row = image_.store.HeldRow(StoreIndexOfRow(image_, pictureRow), held);
    writeBuffer_.insert(writeBuffer_.end(), row, row + held);
    writeBuffer_.insert(writeBuffer_.end(), stride - held, 0);
  }
}

} // namespace vex
