// The indexed PNG writer. stb_image_write writes PNG files of 1 to 4 channels only, so the
// chunks are put together here, and only the zlib stream of the rows comes from its compressor.
#include "png_writer.h"

#include "exceptions.h"

#include "stb_zlib.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>

namespace vex {

namespace {

constexpr std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint64_t ChunkFrame = 12; // length, type and CRC around a chunk's data
constexpr std::uint64_t HeaderDataSize = 13;
constexpr std::uint8_t BitDepth = 8;
constexpr std::uint8_t IndexedColour = 3; // colour type: each pixel is a palette index
constexpr std::uint8_t FilterNone = 0;
// zlib's stream header and Adler-32 trailer, and a stored block's own header of 5 bytes for
// each 32767 bytes it holds (the most stb's compressor puts in one).
constexpr std::uint64_t ZlibFrame = 2 + 4;
constexpr std::uint64_t StoredBlockHeader = 5;
constexpr std::uint64_t StoredBlockMost = 32767;

std::array<std::uint32_t, 256> CrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k)
      c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

void PutU32BigEndian(TByteDynArray& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

// Appends a chunk of `type` whose data `fill` appends, with its length and CRC around it.
template <typename Fill> void PutChunk(TByteDynArray& out, const char (&type)[5], Fill fill) {
  const std::size_t lengthAt = out.size();
  PutU32BigEndian(out, 0); // the length, known once the data is in
  out.insert(out.end(), type, type + 4);
  fill();
  const std::size_t dataSize = out.size() - lengthAt - 8;
  for (int i = 0; i < 4; ++i)
    out[lengthAt + i] = static_cast<std::uint8_t>(dataSize >> (24 - 8 * i));
  PutU32BigEndian(out, PngCrc32(&out[lengthAt + 4], dataSize + 4));
}

struct TFreeCompressed {
  void operator()(unsigned char* p) const { std::free(p); } // stb allocates with malloc
};
using TCompressed = std::unique_ptr<unsigned char, TFreeCompressed>;

// The zlib stream of the picture's rows, each behind its filter byte, and its size.
TCompressed CompressRows(const TIndexedPicture& picture, int& size) {
  const std::size_t width = picture.width;
  TByteDynArray rows((width + 1) * picture.height);
  for (std::size_t y = 0; y < picture.height; ++y) {
    std::uint8_t* row = &rows[y * (width + 1)];
    row[0] = FilterNone;
    std::copy(picture.pixels + y * width, picture.pixels + (y + 1) * width, row + 1);
  }
  TCompressed stream(CompressZlib(rows.data(), static_cast<int>(rows.size()), size));
  if (!stream)
    throw EOutOfMemory();
  return stream;
}

} // namespace

std::uint32_t PngCrc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = CrcTable();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i)
    crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint64_t IndexedPngSizeBound(std::uint32_t width, std::uint32_t height) {
  const std::uint64_t rows = (std::uint64_t{width} + 1) * height;
  const std::uint64_t blocks = (rows + StoredBlockMost - 1) / StoredBlockMost;
  const std::uint64_t zlib = ZlibFrame + rows + StoredBlockHeader * blocks;
  const std::uint64_t chunks = ChunkFrame * 4 + HeaderDataSize + 256 * 3;
  return sizeof Signature + chunks + zlib;
}

void EncodeIndexedPng(const TIndexedPicture& picture, TByteDynArray& file) {
  if ((std::uint64_t{picture.width} + 1) * picture.height > MaxPngRowBytes)
    throw Exception("Picture too large for a PNG file");
  try {
    int streamSize = 0;
    const TCompressed stream = CompressRows(picture, streamSize);
    file.clear();
    // Under MaxPngRowBytes and the chunks: the bound fits any size_t.
    file.reserve(static_cast<std::size_t>(IndexedPngSizeBound(picture.width, picture.height)));
    file.insert(file.end(), std::begin(Signature), std::end(Signature));
    PutChunk(file, "IHDR", [&] {
      PutU32BigEndian(file, picture.width);  // width
      PutU32BigEndian(file, picture.height); // height
      file.push_back(BitDepth);              // bit depth
      file.push_back(IndexedColour);         // colour type
      file.push_back(0);                     // compression method: deflate
      file.push_back(0);                     // filter method: a filter type before each row
      file.push_back(0);                     // interlace method: none
    });
    PutChunk(file, "PLTE", [&] {
      for (const TPaletteEntry& colour : picture.palette)
        file.insert(file.end(), {colour.red, colour.green, colour.blue});
    });
    PutChunk(file, "IDAT",
             [&] { file.insert(file.end(), stream.get(), stream.get() + streamSize); });
    PutChunk(file, "IEND", [] {});
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
}

} // namespace vex
