// The pixel store behind a device-independent image, and the rules for which images it can
// hold. A store read from a file keeps only the pixel bytes the file held and makes the rest
// real, zero-filled, when a row is first written: a template that claims a huge picture costs
// no more memory than the file itself until its pixels are really wanted.
#pragma once

#include "bmp_format.h"
#include "files.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vex {

// The largest store a bitmap holds. Keeping it below 2 GiB lets every size field of a
// written file (u32, read as signed by many readers) hold the whole file.
constexpr std::uint64_t MaxStoreBytes = 0x7FFFFFFF;

// Whether a device-independent image may have this bit count and compression: 1, 4, 8, 16,
// 24 or 32 bits uncompressed, or 16 and 32 bits with bit-field masks.
bool IsStorableFormat(std::uint16_t bitCount, std::uint32_t compression);

struct TStoreGeometry {
  std::uint64_t stride = 0; // bytes per row: width × bit count rounded up to 32 bits
  std::uint64_t rows = 0;
  std::uint64_t Bytes() const { return stride * rows; }
};

// The geometry of a store of `width` × `rows` pixels, or nothing when no store may hold it
// (a size of 0 or less, or more than MaxStoreBytes). `bitCount` must be storable.
std::optional<TStoreGeometry> StoreGeometryFor(std::int64_t width, std::int64_t rows,
                                               std::uint16_t bitCount);

// Rows in store order: row 0 is the first in memory.
class TPixelStore {
public:
  TPixelStore() = default;
  // A store whose first bytes are `held` (cut to the store's size); every other byte is zero.
  static TPixelStore Partial(const TStoreGeometry& geometry, TByteDynArray held);
  // A store made real at once, every byte zero. Raises EOutOfResources when it cannot be had.
  static TPixelStore Allocated(const TStoreGeometry& geometry);

  std::size_t Stride() const { return static_cast<std::size_t>(geometry_.stride); }
  std::uint64_t Rows() const { return geometry_.rows; }
  std::uint64_t Bytes() const { return geometry_.Bytes(); }

  // The start of row `index` as far as the store holds it; `held` receives how many bytes of
  // the row that is (0 to Stride()), the rest of the row reading as zero.
  const std::uint8_t* HeldRow(std::uint64_t index, std::size_t& held) const;
  // A writable row. Makes the whole store real first; raises EOutOfResources when it cannot.
  std::uint8_t* MutableRow(std::uint64_t index);

private:
  void MakeReal();

  TStoreGeometry geometry_;
  TByteDynArray bytes_; // a prefix of the store until MakeReal
};

} // namespace vex
