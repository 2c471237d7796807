// Reading PNG files: the chunks are walked here, front to back, checking what the format and
// the picture limit allow before anything is decoded; the decoding itself is stb_image's. The
// decoder is handed a copy made of the chunks that shape the picture only, so that no size
// stated in the file reaches it unchecked.
#include "png_reader.h"

#include "exceptions.h"
#include "pixel_store.h"
#include "stb_zlib.h"

#include <stb_image.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace vex {

namespace {

constexpr std::uint8_t PngSignature[PngSignatureSize] = {0x89, 'P',  'N',  'G',
                                                         0x0D, 0x0A, 0x1A, 0x0A};

// Each chunk is its data's length (u32 big-endian), a 4-letter type, the data and a CRC.
constexpr std::size_t ChunkHeadSize = 8;
constexpr std::size_t ChunkCrcSize = 4;
constexpr std::uint32_t MaxChunkLength = 0x7FFFFFFF;

// The IHDR chunk's fields.
constexpr std::uint32_t HeaderSize = 13;
constexpr std::size_t WidthOffset = 0;
constexpr std::size_t HeightOffset = 4;
constexpr std::size_t BitDepthOffset = 8;
constexpr std::size_t ColourTypeOffset = 9;
constexpr std::size_t CompressionOffset = 10;
constexpr std::size_t FilterOffset = 11;
constexpr std::size_t InterlaceOffset = 12;

constexpr std::uint8_t ColourGrey = 0, ColourRgb = 2, ColourIndexed = 3, ColourGreyAlpha = 4,
                       ColourRgba = 6;
constexpr std::size_t PaletteEntrySize = 3;
constexpr std::size_t MaxPaletteEntries = 256;

constexpr std::uint32_t MaxPictureDimension = 0xFFFF;
// A deflate stream turns at most about 1032 bytes out for each byte it holds (a 258-byte match
// in two bits), and the decoder's buffers grow with the pixels. A picture that states more
// pixels than 1032 for each byte of its image data is refused: a small file could otherwise
// have the decoder allocate gigabytes before it finds the data short. Only pictures of 1, 2 or
// 4 bits can compress better than that, and only far flatter and larger than any game's
// picture; those up to the margin (2048 x 2048) pass whatever their data.
constexpr std::uint64_t DeflateMaxRatio = 1032;
constexpr std::uint64_t PixelMargin = std::uint64_t{1} << 22;

std::uint32_t GetU32Be(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
         std::uint32_t{p[3]};
}

void PutU32Be(TByteDynArray& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(v >> shift));
}

[[noreturn]] void RaiseInvalidPng(const std::string& what) {
  throw EInvalidGraphic("The PNG file is not valid: " + what);
}

struct TPngHeader {
  std::uint32_t width = 0, height = 0;
  std::uint8_t bitDepth = 0, colourType = 0;
  bool Indexed() const { return colourType == ColourIndexed; }
};

// Where an IDAT chunk's data lies in the file.
struct TDataSpan {
  std::uint64_t offset;
  std::uint32_t length;
};

struct TPngChunks {
  TPngHeader header;
  std::array<std::uint8_t, HeaderSize> headerBytes{};
  bool hasPalette = false, hasTransparency = false;
  TByteDynArray palette, transparency;
  std::vector<TDataSpan> data;
  std::uint64_t dataBytes = 0;
};

TPngHeader CheckedHeader(const std::uint8_t* bytes) {
  TPngHeader header;
  header.width = GetU32Be(bytes + WidthOffset);
  header.height = GetU32Be(bytes + HeightOffset);
  header.bitDepth = bytes[BitDepthOffset];
  header.colourType = bytes[ColourTypeOffset];
  if (header.width == 0 || header.height == 0 || header.width > MaxChunkLength ||
      header.height > MaxChunkLength)
    RaiseInvalidPng("its width or height is 0 or more than 2147483647");
  const std::uint8_t depth = header.bitDepth;
  bool depthFits = depth == 8 || depth == 16;
  if (header.colourType == ColourGrey)
    depthFits = depth == 1 || depth == 2 || depth == 4 || depthFits;
  else if (header.colourType == ColourIndexed)
    depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8;
  else if (header.colourType != ColourRgb && header.colourType != ColourGreyAlpha &&
           header.colourType != ColourRgba)
    RaiseInvalidPng("colour type " + std::to_string(header.colourType) +
                    " is not one of 0, 2, 3, 4, 6");
  if (!depthFits)
    RaiseInvalidPng("bit depth " + std::to_string(depth) + " is not one colour type " +
                    std::to_string(header.colourType) + " may have");
  if (bytes[CompressionOffset] != 0 || bytes[FilterOffset] != 0 || bytes[InterlaceOffset] > 1)
    RaiseInvalidPng("its compression, filter or interlace method is unknown");
  return header;
}

// A tRNS chunk holds an alpha per palette entry, at most one for each, or the one grey or RGB
// value (16 bits a channel) that is transparent; pictures with an alpha channel have none.
void CheckTransparency(const TPngChunks& chunks, std::uint32_t length) {
  const std::uint8_t type = chunks.header.colourType;
  bool fits = false;
  if (type == ColourIndexed)
    fits = chunks.hasPalette && length <= chunks.palette.size() / PaletteEntrySize;
  else
    fits = (type == ColourGrey && length == 2) || (type == ColourRgb && length == 6);
  if (!fits)
    RaiseInvalidPng("its tRNS chunk does not fit colour type " + std::to_string(type) +
                    (type == ColourIndexed ? " and its PLTE chunk" : ""));
}

class TChunkWalk {
public:
  explicit TChunkWalk(const TFile& file) : file_(file), size_(file.Size()) {}

  TPngChunks Run() {
    std::uint8_t signature[PngSignatureSize] = {};
    if (size_ >= PngSignatureSize)
      file_.ReadExactAt(0, signature, PngSignatureSize);
    if (!IsPngSignature(signature))
      throw EInvalidGraphic("This is not a PNG file: it does not begin with the PNG signature");
    std::uint64_t at = PngSignatureSize;
    for (bool first = true;; first = false) {
      if (size_ - at < ChunkHeadSize)
        throw EInvalidGraphic("The PNG file is cut short: it ends before its IEND chunk");
      std::uint8_t head[ChunkHeadSize];
      file_.ReadExactAt(at, head, ChunkHeadSize);
      const std::uint32_t length = GetU32Be(head);
      const std::string type(reinterpret_cast<const char*>(head + 4), 4);
      if (length > MaxChunkLength)
        RaiseInvalidPng("its " + type + " chunk at byte " + std::to_string(at) +
                        " states a length of " + std::to_string(length));
      const std::uint64_t left = size_ - at - ChunkHeadSize;
      if (std::uint64_t{length} + ChunkCrcSize > left)
        throw EInvalidGraphic("The PNG file is cut short: its " + type + " chunk at byte " +
                              std::to_string(at) + " needs " +
                              std::to_string(length + ChunkCrcSize) + " bytes, " +
                              std::to_string(left) + " are left");
      if (first != (type == "IHDR"))
        RaiseInvalidPng(first ? "its first chunk is " + type + ", not IHDR"
                              : "it has a second IHDR chunk");
      if (type == "IEND")
        break;
      Take(type, at + ChunkHeadSize, length);
      at += ChunkHeadSize + length + ChunkCrcSize;
    }
    if (chunks_.data.empty())
      RaiseInvalidPng("it has no image data (IDAT chunk)");
    if (chunks_.header.Indexed() && !chunks_.hasPalette)
      RaiseInvalidPng("it is an indexed picture without a PLTE chunk");
    return std::move(chunks_);
  }

private:
  TByteDynArray Bytes(std::uint64_t offset, std::uint32_t length) const {
    TByteDynArray bytes(length);
    file_.ReadExactAt(offset, bytes.data(), bytes.size());
    return bytes;
  }
  void Take(const std::string& type, std::uint64_t offset, std::uint32_t length);

  const TFile& file_;
  std::uint64_t size_;
  TPngChunks chunks_;
};

// The chunks that shape the picture are kept; the others, ancillary ones, are not wanted for
// it: an unknown critical one (its type's first letter upper case) is a picture this reader
// cannot show.
void TChunkWalk::Take(const std::string& type, std::uint64_t offset, std::uint32_t length) {
  const bool beforeData = chunks_.data.empty();
  if (type == "IHDR") {
    if (length != HeaderSize)
      RaiseInvalidPng("its IHDR chunk is " + std::to_string(length) + " bytes long, not 13");
    file_.ReadExactAt(offset, chunks_.headerBytes.data(), HeaderSize);
    chunks_.header = CheckedHeader(chunks_.headerBytes.data());
  } else if (type == "PLTE") {
    if (chunks_.hasPalette || !beforeData || length == 0 || length % PaletteEntrySize != 0 ||
        length > MaxPaletteEntries * PaletteEntrySize)
      RaiseInvalidPng("its PLTE chunk is not one palette of 1 to 256 colours before the image "
                      "data");
    chunks_.hasPalette = true;
    chunks_.palette = Bytes(offset, length);
  } else if (type == "tRNS") {
    if (chunks_.hasTransparency || !beforeData)
      RaiseInvalidPng("its tRNS chunk is not one chunk before the image data");
    CheckTransparency(chunks_, length);
    chunks_.hasTransparency = true;
    chunks_.transparency = Bytes(offset, length);
  } else if (type == "IDAT") {
    chunks_.data.push_back({offset, length});
    chunks_.dataBytes += length;
  } else if ((static_cast<unsigned char>(type[0]) & 0x20) == 0) {
    RaiseInvalidPng("its " + type + " chunk is one a reader must know, and this one is unknown");
  }
}

// The store the picture goes into: 8 bits a pixel for an indexed picture, else 32. Raises
// when the picture limit, its image data or a store cannot hold it.
TStoreGeometry PictureGeometry(const TPngChunks& chunks) {
  const TPngHeader& header = chunks.header;
  if (header.width > MaxPictureDimension || header.height > MaxPictureDimension)
    throw EInvalidGraphic("Picture wider or taller than 65535 pixels");
  const std::string size = std::to_string(header.width) + " x " + std::to_string(header.height);
  const std::uint64_t pixels = std::uint64_t{header.width} * header.height;
  if (pixels > DeflateMaxRatio * chunks.dataBytes + PixelMargin)
    throw EInvalidGraphic("The PNG file states " + size + " pixels, more than its " +
                          std::to_string(chunks.dataBytes) + " bytes of image data can hold");
  const auto geometry = StoreGeometryFor(header.width, header.height, header.Indexed() ? 8 : 32);
  if (!geometry)
    throw EInvalidGraphic("Picture of " + size + " pixels is too large to be read");
  return *geometry;
}

void AppendChunk(TByteDynArray& out, const char* type, const TByteDynArray& data) {
  PutU32Be(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutU32Be(out, 0); // the CRC: see DecodableCopy
}

// What the decoder reads: IHDR, PLTE, tRNS, the image data as one IDAT chunk, and IEND. Its
// chunks carry no CRC: stb_image (v2.27, the version libstb-dev ships) skips every chunk's CRC
// unread (stbi__parse_png_file). stb_image always turns palette indices into colours; to keep
// them, an indexed picture's PLTE is replaced by 256 entries of which entry i is (i, 0, 0), so
// that the decoded red channel is the index. The real colours are those the walk kept.
TByteDynArray DecodableCopy(const TFile& file, const TPngChunks& chunks) {
  constexpr std::uint64_t MostBytes = std::numeric_limits<int>::max() - 2048;
  if (chunks.dataBytes > MostBytes)
    throw EInvalidGraphic("The PNG file's image data of " + std::to_string(chunks.dataBytes) +
                          " bytes is too large to be read");
  TByteDynArray copy(PngSignature, PngSignature + PngSignatureSize);
  AppendChunk(copy, "IHDR", TByteDynArray(chunks.headerBytes.begin(), chunks.headerBytes.end()));
  if (chunks.header.Indexed()) {
    TByteDynArray indices(MaxPaletteEntries * PaletteEntrySize, 0);
    for (std::size_t i = 0; i < MaxPaletteEntries; ++i)
      indices[i * PaletteEntrySize] = static_cast<std::uint8_t>(i);
    AppendChunk(copy, "PLTE", indices);
  }
  if (chunks.hasTransparency)
    AppendChunk(copy, "tRNS", chunks.transparency);
  PutU32Be(copy, static_cast<std::uint32_t>(chunks.dataBytes));
  copy.insert(copy.end(), {'I', 'D', 'A', 'T'});
  std::size_t at = copy.size();
  copy.resize(copy.size() + static_cast<std::size_t>(chunks.dataBytes));
  for (const TDataSpan& span : chunks.data) {
    file.ReadExactAt(span.offset, copy.data() + at, span.length);
    at += span.length;
  }
  PutU32Be(copy, 0);
  AppendChunk(copy, "IEND", {});
  return copy;
}

using TDecoded = std::unique_ptr<stbi_uc, decltype(&stbi_image_free)>;

// Four bytes a pixel, red, green, blue and alpha, rows top first.
TDecoded Decode(const TByteDynArray& copy, const TPngHeader& header) {
  int width = 0, height = 0, channels = 0;
  ForgetDecoderFailure();
  TDecoded decoded(stbi_load_from_memory(copy.data(), static_cast<int>(copy.size()), &width,
                                         &height, &channels, 4),
                   stbi_image_free);
  if (!decoded) {
    // The decoder gives up on some corrupt streams (a block of the reserved type 3) without
    // saying why (see ForgetDecoderFailure).
    const char* reason = stbi_failure_reason();
    throw EInvalidGraphic(std::string("The PNG file's image data cannot be decoded: ") +
                          (reason != nullptr ? reason : "it is corrupt"));
  }
  VEX_ASSERT(static_cast<std::uint32_t>(width) == header.width &&
             static_cast<std::uint32_t>(height) == header.height);
  return decoded;
}

// The description a bitmap of the picture's store would have.
TBitmapInfoHeader BitmapHeader(const TPngChunks& chunks, const TStoreGeometry& geometry) {
  TBitmapInfoHeader header;
  header.headerSize = bmp::InfoHeaderSize;
  header.width = static_cast<std::int32_t>(chunks.header.width);
  header.height = static_cast<std::int32_t>(chunks.header.height); // bottom-up
  header.planes = 1;
  header.imageSize = static_cast<std::uint32_t>(geometry.Bytes());
  if (chunks.header.Indexed()) {
    header.bitCount = 8;
    header.coloursUsed = static_cast<std::uint32_t>(chunks.palette.size() / PaletteEntrySize);
  } else {
    header.bitCount = 32;
    header.compression = bmp::CompressionBitFields;
    header.redMask = 0x00FF0000, header.greenMask = 0x0000FF00, header.blueMask = 0x000000FF;
  }
  return header;
}

// An indexed picture's colours; a palette that another picture suggests to its viewers is no
// part of its pixels.
void TakeColours(const TPngChunks& chunks, TBmpFileContents& contents) {
  if (!chunks.header.Indexed())
    return;
  const std::size_t count = chunks.palette.size() / PaletteEntrySize;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = &chunks.palette[i * PaletteEntrySize]; // red, green, blue
    contents.colours.push_back({entry[0], entry[1], entry[2], 0});
  }
  if (chunks.hasTransparency) {
    contents.colourAlpha = chunks.transparency;
    contents.colourAlpha.resize(count, 0xFF);
  }
}

// The decoded pixels in the store's rows, bottom-up: an index a pixel, or blue, green, red
// and alpha bytes, the little-endian order of the masks.
void StorePixels(const stbi_uc* decoded, bool indexed, TBmpFileContents& contents) {
  const TStoreGeometry& geometry = contents.geometry;
  const auto width = static_cast<std::size_t>(contents.header.width);
  contents.pixels.assign(static_cast<std::size_t>(geometry.Bytes()), 0);
  for (std::size_t y = 0; y < geometry.rows; ++y) {
    const stbi_uc* from = decoded + y * width * 4;
    std::uint8_t* to = contents.pixels.data() +
                       (geometry.rows - 1 - y) * static_cast<std::size_t>(geometry.stride);
    for (std::size_t x = 0; x < width; ++x, from += 4) {
      if (indexed) {
        to[x] = from[0];
      } else {
        const std::uint8_t bgra[4] = {from[2], from[1], from[0], from[3]};
        std::memcpy(to + x * 4, bgra, 4);
      }
    }
  }
}

} // namespace

bool IsPngSignature(const std::uint8_t* start) {
  return std::memcmp(start, PngSignature, PngSignatureSize) == 0;
}

TBmpFileContents ReadPngFile(const TFile& file, TBmpPixels wanted) {
  const TPngChunks chunks = TChunkWalk(file).Run();
  TBmpFileContents contents;
  contents.empty = false;
  contents.geometry = PictureGeometry(chunks);
  contents.header = BitmapHeader(chunks, contents.geometry);
  TakeColours(chunks, contents);
  const std::uint8_t type = chunks.header.colourType;
  if (!chunks.header.Indexed() &&
      (type == ColourGreyAlpha || type == ColourRgba || chunks.hasTransparency))
    contents.alphaMask = 0xFF000000;
  if (wanted == TBmpPixels::CheckedOnly)
    return contents;
  const TDecoded decoded = Decode(DecodableCopy(file, chunks), chunks.header);
  StorePixels(decoded.get(), chunks.header.Indexed(), contents);
  return contents;
}

} // namespace vex
