// The pixel store and its limits.
#include "pixel_store.h"

#include "exceptions.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace vex {

namespace {

// Grows `bytes` to `size` zero bytes, turning every way that can fail into EOutOfResources.
void GrowZeroFilled(TByteDynArray& bytes, std::uint64_t size) {
  if (size > std::numeric_limits<std::size_t>::max())
    throw EOutOfResources();
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfResources();
  } catch (const std::length_error&) {
    throw EOutOfResources();
  }
}

} // namespace

bool IsStorableFormat(std::uint16_t bitCount, std::uint32_t compression) {
  switch (bitCount) {
  case 1:
  case 4:
  case 8:
  case 24:
    return compression == bmp::CompressionNone;
  case 16:
  case 32:
    return IsIndependentCompression(compression);
  default:
    return false;
  }
}

std::optional<TStoreGeometry> StoreGeometryFor(std::int64_t width, std::int64_t rows,
                                               std::uint16_t bitCount) {
  if (width <= 0 || rows <= 0)
    return std::nullopt;
  // width × bitCount overflows 64 bits for widths near 2^63, so the width is bounded first:
  // a row is at most MaxStoreBytes bytes, and a pixel at least one bit, so no storable width
  // exceeds MaxStoreBytes × 8. Below that bound the product fits with room to spare.
  const auto uwidth = static_cast<std::uint64_t>(width);
  if (uwidth > MaxStoreBytes * 8)
    return std::nullopt;
  TStoreGeometry geometry;
  geometry.stride = (uwidth * bitCount + 31) / 32 * 4;
  geometry.rows = static_cast<std::uint64_t>(rows);
  if (geometry.stride > MaxStoreBytes / geometry.rows)
    return std::nullopt;
  return geometry;
}

TPixelStore TPixelStore::Partial(const TStoreGeometry& geometry, TByteDynArray held) {
  TPixelStore store;
  store.geometry_ = geometry;
  store.bytes_ = std::move(held);
  if (store.bytes_.size() > geometry.Bytes())
    store.bytes_.resize(static_cast<std::size_t>(geometry.Bytes()));
  return store;
}

TPixelStore TPixelStore::Allocated(const TStoreGeometry& geometry) {
  TPixelStore store;
  store.geometry_ = geometry;
  store.MakeReal();
  return store;
}

const std::uint8_t* TPixelStore::HeldRow(std::uint64_t index, std::size_t& held) const {
  const std::uint64_t start = index * geometry_.stride;
  if (index >= geometry_.rows || start >= bytes_.size()) {
    held = 0;
    return nullptr;
  }
  held = static_cast<std::size_t>(std::min<std::uint64_t>(geometry_.stride, bytes_.size() - start));
  return bytes_.data() + start;
}

std::uint8_t* TPixelStore::MutableRow(std::uint64_t index) {
  MakeReal();
  return bytes_.data() + static_cast<std::size_t>(index * geometry_.stride);
}

void TPixelStore::MakeReal() {
  if (bytes_.size() < geometry_.Bytes())
    GrowZeroFilled(bytes_, geometry_.Bytes());
}

} // namespace vex
