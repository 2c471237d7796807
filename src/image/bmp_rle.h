// Run-length pictures (RLE8 and RLE4): their code stream checked, and decoded into the
// uncompressed store of the same bit count, so that the rest of the reader sees a plain picture.
#pragma once

#include "bytes.h"
#include "pixel_store.h"

#include <cstdint>
#include <vector>

namespace vex {

// Where a decoded picture goes: the store's bytes (rows bottom-up, as the stream has them) and
// one byte per pixel, rows top first, 1 where the stream wrote the pixel. Both are sized by
// DecodeRle; pixels the stream leaves out hold index 0.
struct TRleTarget {
  TByteDynArray pixels;
  std::vector<std::uint8_t> covered;
};

// Runs the stream of a `width` × `rows` picture of `bitCount` 8 (RLE8) or 4 (RLE4), stored
// bottom-up in a store of `geometry`, and fills `target` when it is given; without one it only
// checks the stream, allocating nothing. Pixels a run puts in a row's padding are dropped.
// Raises EInvalidGraphic, naming the code's place in the stream, for a run or delta past the
// end of a row's store (its padding included) or past the last row, and for a stream that ends
// before its end-of-bitmap code.
void DecodeRle(const TByteDynArray& stream, std::uint16_t bitCount, std::uint32_t width,
               std::uint32_t rows, const TStoreGeometry& geometry, TRleTarget* target);

} // namespace vex
