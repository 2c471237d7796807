// Writing PNG files: an 8-bit indexed picture encoded into a byte buffer, its palette as the
// file's palette and its indices as the file's pixels, so that a paint program that keeps
// indices gives them back unchanged. Where the buffer goes is the caller's.
#pragma once

#include "bmp_format.h"
#include "files.h"

#include <cstdint>
#include <vector>

namespace vex {

// The most bytes of filtered rows (a filter byte and the width's indices per row) that one
// PNG file may hold: the compressor counts in int and grows its buffers by doubling, so a
// bound well below 2 GiB keeps every one of its sizes in range. 16384 × 16383 pixels fit.
constexpr std::uint64_t MaxPngRowBytes = std::uint64_t{1} << 28;

// An 8-bit picture as the encoder takes it: `width` × `height` indices (both 1 or more), rows
// top down and `width` bytes apart, and the palette that colours them.
struct TIndexedPicture {
  std::uint32_t width;
  std::uint32_t height;
  const std::uint8_t* pixels;
  // 1 to 256 colours; the flags byte of each is not written.
  const std::vector<TPaletteEntry>& palette;
};

// The CRC-32 that closes every PNG chunk (polynomial 0xEDB88320, as zlib and PNG use it) of
// `size` bytes at `data`, continuing from `crc` (0 for a fresh one). Raises nothing.
std::uint32_t PngCrc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

// The most bytes EncodeIndexedPng writes for a picture of `width` × `height` with 256
// colours: the chunks around the pixels, and the pixels' zlib stream, which is never larger
// than its rows stored uncompressed (the compressor falls back to stored blocks). Raises
// nothing.
std::uint64_t IndexedPngSizeBound(std::uint32_t width, std::uint32_t height);

// Replaces the bytes of `file` by the PNG file of `picture`: signature, IHDR (colour type 3,
// bit depth 8, not interlaced), PLTE, one IDAT with every row under filter 0, IEND. Raises
// Exception "Picture too large for a PNG file" when its filtered rows exceed MaxPngRowBytes,
// EOutOfMemory when the file's bytes cannot be had.
void EncodeIndexedPng(const TIndexedPicture& picture, TByteDynArray& file);

} // namespace vex
