// The tests' byte builder: expected file bytes are built with it field by field, one call a
// field, never with the production writer, so that a bug cannot cancel itself out. The byte
// order is the project's one little-endian helper.
#pragma once

#include "little_endian.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vextest {

class ByteBuilder {
public:
  ByteBuilder& U8(std::uint8_t v) {
    vex::PutU8(bytes_, v);
    return *this;
  }
  ByteBuilder& U16(std::uint16_t v) {
    vex::PutU16(bytes_, v);
    return *this;
  }
  ByteBuilder& U32(std::uint32_t v) {
    vex::PutU32(bytes_, v);
    return *this;
  }
  ByteBuilder& I32(std::int32_t v) {
    vex::PutI32(bytes_, v);
    return *this;
  }
  ByteBuilder& Text(std::string_view s) {
    for (const char c : s) // byte by byte: g++ 12 warns wrongly about a range insert here
      U8(static_cast<std::uint8_t>(c));
    return *this;
  }
  ByteBuilder& Bytes(const std::vector<std::uint8_t>& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  ByteBuilder& Repeat(std::uint8_t v, std::size_t n) {
    bytes_.insert(bytes_.end(), n, v);
    return *this;
  }
  std::size_t Size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& Get() const { return bytes_; }
  std::vector<std::uint8_t>& Get() { return bytes_; }

private:
  std::vector<std::uint8_t> bytes_;
};

// `bytes` with the field of `width` bytes at `offset` set to `value`: a file with one field
// changed.
inline std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::size_t offset,
                                         std::uint32_t value, std::size_t width = 4) {
  std::vector<std::uint8_t> field;
  vex::PutU32(field, value);
  std::copy_n(field.begin(), width, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  return bytes;
}

} // namespace vextest
