// Reading BMP files: file header, info or core header, masks, colour table and pixel bytes in
// file order. A template's pixel-offset field is not used: its pixels are taken to follow the
// colour table at once. A template gives converted pictures only its format, colours and
// resolution (TPaletteTemplate keeps nothing else of it), so where its own pixels start
// changes no file the tool writes, and a field that is never trusted never needs checking. A
// picture whose pixels are wanted is read from its pixel offset, checked, and its failures say
// what an editor did to it: templates keep the plain failures they always had.
#include "bmp_reader.h"

#include "bmp_format.h"
#include "bmp_rle.h"
#include "exceptions.h"
#include "little_endian.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace vex {

namespace {

using namespace bmp;

// Reads a source's bytes front to back. A part that would run past their end raises EReadError
// before anything is read or allocated for it.
class TByteCursor {
public:
  explicit TByteCursor(const TByteSource& source) : source_(source) {}
  std::uint64_t Position() const { return position_; }
  std::uint64_t Remaining() const { return source_.Size() - position_; }
  void Read(std::uint8_t* data, std::size_t count) {
    Require(count);
    source_.ReadAt(position_, data, count);
    position_ += count;
  }
  void Skip(std::uint64_t count) {
    Require(count);
    position_ += count;
  }

private:
  void Require(std::uint64_t count) const {
    if (count > Remaining())
      throw EReadError();
  }

  const TByteSource& source_;
  std::uint64_t position_ = 0;
};

// The header bytes kept: the info header and the masks that headers of 52 bytes or more hold,
// with the alpha mask of those of 56 or more.
using THeaderBytes = std::array<std::uint8_t, HeaderWithAlphaMaskSize>;

constexpr std::uint32_t CompressionRle8 = 1, CompressionRle4 = 2, CompressionJpeg = 4,
                        CompressionPng = 5;
// OS/2 2.x headers give code 4 to RLE24.
constexpr std::uint32_t Os2HeaderSize = 64;

// Editors save other formats under any name the user types; the first bytes tell them apart.
struct TForeignFormat {
  const char* name;
  std::size_t size;
  std::uint8_t signature[8];
};
constexpr TForeignFormat ForeignFormats[] = {
    {"PNG", 8, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}},
    {"JPEG", 3, {0xFF, 0xD8, 0xFF}},
    {"GIF", 4, {'G', 'I', 'F', '8'}},
};

// A picture that is not a BMP at all: named when it is a format editors save, else the plain
// failure.
[[noreturn]] void RaiseNotBitmap(const std::uint8_t* start) {
  for (const TForeignFormat& format : ForeignFormats)
    if (std::memcmp(start, format.signature, format.size) == 0)
      throw EInvalidGraphic(std::string("This is a ") + format.name +
                            " file, not a BMP: save it as a Windows bitmap (.bmp)");
  RaiseInvalidGraphic();
}

// Returns the pixel offset the header gives.
std::uint32_t ReadFileHeader(TByteCursor& cursor, TBmpPixels wanted) {
  std::array<std::uint8_t, FileHeaderSize> bytes{};
  cursor.Read(bytes.data(), bytes.size());
  if (bytes[FileTypeOffset] != FileType0 || bytes[FileTypeOffset + 1] != FileType1) {
    if (wanted != TBmpPixels::AfterColourTable)
      RaiseNotBitmap(bytes.data());
    RaiseInvalidGraphic();
  }
  return GetU32(&bytes[PixelOffsetOffset]);
}

// A core header becomes an info header of its four values and zero in every other field.
TBitmapInfoHeader ReadCoreHeader(TByteCursor& cursor, THeaderBytes& bytes) {
  cursor.Read(bytes.data() + 4, CoreHeaderSize - 4);
  TBitmapInfoHeader header;
  header.headerSize = InfoHeaderSize;
  header.width = GetU16(&bytes[CoreWidthOffset]);
  header.height = GetU16(&bytes[CoreHeightOffset]);
  header.planes = GetU16(&bytes[CorePlanesOffset]);
  header.bitCount = GetU16(&bytes[CoreBitCountOffset]);
  return header;
}

// Reads an info header of `headerSize` (40 or more) bytes, keeping only its first 56.
TBitmapInfoHeader ReadInfoHeader(TByteCursor& cursor, THeaderBytes& bytes,
                                 std::uint32_t headerSize) {
  const std::uint32_t kept = std::min(headerSize, HeaderWithAlphaMaskSize);
  cursor.Read(bytes.data() + 4, kept - 4);
  cursor.Skip(headerSize - kept);
  TBitmapInfoHeader header;
  header.headerSize = headerSize;
  header.width = GetI32(&bytes[WidthOffset]);
  header.height = GetI32(&bytes[HeightOffset]);
  header.planes = GetU16(&bytes[PlanesOffset]);
  header.bitCount = GetU16(&bytes[BitCountOffset]);
  header.compression = GetU32(&bytes[CompressionOffset]);
  header.imageSize = GetU32(&bytes[ImageSizeOffset]);
  header.xResolution = GetI32(&bytes[XResolutionOffset]);
  header.yResolution = GetI32(&bytes[YResolutionOffset]);
  header.coloursUsed = GetU32(&bytes[ColoursUsedOffset]);
  header.coloursImportant = GetU32(&bytes[ColoursImportantOffset]);
  return header;
}

// Masks matter for 16 and 32 bits with compression 3. A 40-byte header is followed by them;
// longer headers of 52 bytes or more hold them; headers in between have no room for them.
// Headers of 56 bytes or more also hold the alpha mask, which is the pixels' opacity only with
// compression 3: writers fill it in for uncompressed 24-bit files too, where it means nothing.
void ReadMasks(TByteCursor& cursor, THeaderBytes& bytes, std::uint32_t headerSize,
               TBmpFileContents& contents) {
  TBitmapInfoHeader& header = contents.header;
  if (header.compression != CompressionBitFields ||
      (header.bitCount != 16 && header.bitCount != 32))
    return;
  if (headerSize >= HeaderWithAlphaMaskSize)
    contents.alphaMask = GetU32(&bytes[AlphaMaskOffset]);
  if (headerSize == InfoHeaderSize)
    cursor.Read(&bytes[RedMaskOffset], MasksSize);
  else if (headerSize < HeaderWithMasksSize)
    RaiseInvalidGraphic();
  header.redMask = GetU32(&bytes[RedMaskOffset]);
  header.greenMask = GetU32(&bytes[GreenMaskOffset]);
  header.blueMask = GetU32(&bytes[BlueMaskOffset]);
}

// Colours used 0 means the full table for 1, 4 and 8 bits and none otherwise.
std::vector<TPaletteEntry> ReadColours(TByteCursor& cursor, TBitmapInfoHeader& header,
                                       bool coreHeader) {
  if (header.coloursUsed > MaxColourEntries)
    RaiseInvalidGraphic();
  if (header.coloursUsed == 0 &&
      (header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8))
    header.coloursUsed = 1u << header.bitCount;
  const std::size_t entrySize = coreHeader ? CoreEntrySize : InfoEntrySize;
  std::array<std::uint8_t, MaxColourEntries * InfoEntrySize> bytes{};
  cursor.Read(bytes.data(), header.coloursUsed * entrySize);
  std::vector<TPaletteEntry> colours(header.coloursUsed);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const std::uint8_t* entry = &bytes[i * entrySize]; // blue, green, red[, reserved]
    colours[i] = TPaletteEntry{entry[2], entry[1], entry[0], 0};
  }
  return colours;
}

// A bitmap holds device-independent images of the storable formats only, at least one pixel
// wide and high and within MaxStoreBytes; the reader refuses anything else.
TStoreGeometry IndependentGeometry(const TBitmapInfoHeader& header) {
  if (!IsStorableFormat(header.bitCount, header.compression))
    RaiseInvalidGraphic();
  const auto rows = std::abs(static_cast<std::int64_t>(header.height));
  const auto geometry = StoreGeometryFor(header.width, rows, header.bitCount);
  if (!geometry)
    RaiseInvalidGraphic();
  return *geometry;
}

// Compressed pictures are bottom-up by definition, and at least one pixel in size.
void CheckDependentImage(const TBitmapInfoHeader& header) {
  if (header.width <= 0 || header.height <= 0)
    RaiseInvalidGraphic();
}

// Moves to a picture's pixel offset and returns the bytes from there to the end of the file.
std::uint64_t SeekPixels(TByteCursor& cursor, std::uint32_t pixelOffset) {
  if (pixelOffset < cursor.Position())
    RaiseInvalidGraphic();
  if (pixelOffset - cursor.Position() > cursor.Remaining())
    return 0;
  cursor.Skip(pixelOffset - cursor.Position());
  return cursor.Remaining();
}

// A picture's pixels from its pixel offset: every row, the last one without its padding, which
// some writers leave out.
void ReadPixelsAtOffset(TByteCursor& cursor, TBmpFileContents& contents, std::uint32_t pixelOffset,
                        TBmpPixels wanted) {
  const std::uint64_t there = SeekPixels(cursor, pixelOffset);
  const TStoreGeometry& geometry = contents.geometry;
  const std::uint64_t lastRow =
      (static_cast<std::uint64_t>(contents.header.width) * contents.header.bitCount + 7) / 8;
  const std::uint64_t needed = geometry.stride * (geometry.rows - 1) + lastRow;
  if (needed > there)
    throw EInvalidGraphic("The file ends before its last pixel row: its pixels need " +
                          std::to_string(needed) + " bytes, the file holds " +
                          std::to_string(there));
  if (wanted == TBmpPixels::CheckedOnly)
    return;
  contents.pixels.resize(static_cast<std::size_t>(needed));
  cursor.Read(contents.pixels.data(), contents.pixels.size());
}

bool IsRle(const TBitmapInfoHeader& header) {
  return (header.compression == CompressionRle8 && header.bitCount == 8) ||
         (header.compression == CompressionRle4 && header.bitCount == 4);
}

// A compression no picture is read in: named, with its bit count where that is what is wrong.
[[noreturn]] void RaiseCompressionNotRead(const TBitmapInfoHeader& header) {
  std::string name;
  switch (header.compression) {
  case CompressionRle8:
  case CompressionRle4:
    name = (header.compression == CompressionRle8 ? "RLE8 at " : "RLE4 at ") +
           std::to_string(header.bitCount) + " bits per pixel";
    break;
  case CompressionJpeg:
    name = header.headerSize == Os2HeaderSize ? "RLE24" : "JPEG";
    break;
  case CompressionPng:
    name = "PNG";
    break;
  default:
    name = "code " + std::to_string(header.compression);
  }
  throw EInvalidGraphic("Bitmap compression " + name +
                        " is not read: save the picture as an uncompressed Windows bitmap (.bmp)");
}

// A run-length picture, decoded (or with CheckedOnly only run through) into the store of an
// uncompressed one. The whole stream is read: it is never more than the file.
void ReadRlePixels(TByteCursor& cursor, TBmpFileContents& contents, std::uint32_t pixelOffset,
                   TBmpPixels wanted) {
  TBitmapInfoHeader& header = contents.header;
  const char* name = header.bitCount == 8 ? "RLE8" : "RLE4";
  if (header.height < 0)
    throw EInvalidGraphic(std::string("The ") + name +
                          " picture is stored top-down, which run-length pictures cannot be: "
                          "save it bottom-up or uncompressed");
  CheckDependentImage(header);
  const auto geometry = StoreGeometryFor(header.width, header.height, header.bitCount);
  if (!geometry)
    RaiseInvalidGraphic();
  TByteDynArray stream(static_cast<std::size_t>(SeekPixels(cursor, pixelOffset)));
  cursor.Read(stream.data(), stream.size());
  const auto width = static_cast<std::uint32_t>(header.width);
  const auto rows = static_cast<std::uint32_t>(header.height);
  if (wanted == TBmpPixels::CheckedOnly) {
    DecodeRle(stream, header.bitCount, width, rows, *geometry, nullptr);
  } else {
    TRleTarget target;
    DecodeRle(stream, header.bitCount, width, rows, *geometry, &target);
    contents.pixels = std::move(target.pixels);
    contents.covered = std::move(target.covered);
  }
  contents.geometry = *geometry;
  header.compression = CompressionNone;
  header.imageSize = static_cast<std::uint32_t>(geometry->Bytes());
}

// A picture's pixels, whichever way the file stores them.
void ReadPicturePixels(TByteCursor& cursor, TBmpFileContents& contents, std::uint32_t pixelOffset,
                       TBmpPixels wanted) {
  if (IsRle(contents.header))
    return ReadRlePixels(cursor, contents, pixelOffset, wanted);
  if (!IsIndependentCompression(contents.header.compression))
    RaiseCompressionNotRead(contents.header);
  contents.geometry = IndependentGeometry(contents.header);
  ReadPixelsAtOffset(cursor, contents, pixelOffset, wanted);
}

// The pixel bytes taken are the image size (the whole store when the file gives none or is
// uncompressed), or fewer when the file ends first; never more than the store holds.
void ReadPixels(TByteCursor& cursor, TBmpFileContents& contents, std::uint32_t pixelOffset,
                TBmpPixels wanted) {
  if (wanted != TBmpPixels::AfterColourTable)
    return ReadPicturePixels(cursor, contents, pixelOffset, wanted);
  TBitmapInfoHeader& header = contents.header;
  if (!IsIndependentCompression(header.compression)) {
    CheckDependentImage(header);
    return;
  }
  contents.geometry = IndependentGeometry(header);
  const std::uint64_t storeBytes = contents.geometry.Bytes();
  if (header.imageSize == 0 || header.compression == CompressionNone)
    header.imageSize = static_cast<std::uint32_t>(storeBytes);
  const std::uint64_t taken =
      std::min({std::uint64_t{header.imageSize}, storeBytes, cursor.Remaining()});
  contents.pixels.resize(static_cast<std::size_t>(taken));
  cursor.Read(contents.pixels.data(), contents.pixels.size());
}

} // namespace

TBmpFileContents ReadBmpFile(const std::string& path, TBmpPixels wanted) {
  const TFile file = TFile::OpenOrRaise(path, TOpenMode::ReadShareRead);
  return DecodeBmpFile(TByteSource(file, 0, file.Size()), wanted);
}

TBmpFileContents ReadBmpFile(const TFile& file, std::uint64_t offset, std::uint64_t size,
                             TBmpPixels wanted) {
  return DecodeBmpFile(TByteSource(file, offset, size), wanted);
}

TBmpFileContents DecodeBmpFile(const TByteSource& source, TBmpPixels wanted) {
  TBmpFileContents contents;
  if (source.Size() == 0)
    return contents;
  contents.empty = false;
  TByteCursor cursor(source);
  const std::uint32_t pixelOffset = ReadFileHeader(cursor, wanted);
  THeaderBytes headerBytes{};
  cursor.Read(headerBytes.data(), 4);
  const std::uint32_t headerSize = GetU32(&headerBytes[HeaderSizeOffset]);
  contents.coreHeader = headerSize == CoreHeaderSize;
  if (contents.coreHeader)
    contents.header = ReadCoreHeader(cursor, headerBytes);
  else if (headerSize >= InfoHeaderSize)
    contents.header = ReadInfoHeader(cursor, headerBytes, headerSize);
  else
    RaiseInvalidGraphic();
  if (contents.header.planes != 1)
    RaiseInvalidGraphic();
  ReadMasks(cursor, headerBytes, headerSize, contents);
  contents.colours = ReadColours(cursor, contents.header, contents.coreHeader);
  ReadPixels(cursor, contents, pixelOffset, wanted);
  return contents;
}

} // namespace vex
