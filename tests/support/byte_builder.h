// The tests' byte builder: expected file bytes are built with it field by field, one call a
// field, never with the production writer. It puts the bytes of a field in order itself, least
// significant first, so that a byte-order fault in the tool's helpers cannot cancel itself out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vextest {

class ByteBuilder {
public:
  ByteBuilder& U8(std::uint8_t v) { return Field(v, 1); }
  ByteBuilder& U16(std::uint16_t v) { return Field(v, 2); }
  ByteBuilder& U32(std::uint32_t v) { return Field(v, 4); }
  ByteBuilder& I32(std::int32_t v) { return Field(static_cast<std::uint32_t>(v), 4); }
  ByteBuilder& Text(std::string_view s) {
    for (const char c : s) // byte by byte: g++ 12 warns wrongly about a range insert here
      U8(static_cast<std::uint8_t>(c));
    return *this;
  }
  ByteBuilder& Repeat(std::uint8_t v, std::size_t n) {
    bytes_.insert(bytes_.end(), n, v);
    return *this;
  }
  const std::vector<std::uint8_t>& Get() const { return bytes_; }

private:
  ByteBuilder& Field(std::uint32_t v, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
      bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }
  std::vector<std::uint8_t> bytes_;
};

// `bytes` with the field of `width` bytes at `offset` set to `value`: a file with one field
// changed.
inline std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::size_t offset,
                                         std::uint32_t value, std::size_t width = 4) {
  const std::vector<std::uint8_t> field = ByteBuilder().U32(value).Get();
  std::copy_n(field.begin(), width, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  return bytes;
}

// The little-endian field of `width` bytes at `p`, read the same way.
inline std::uint32_t FieldAt(const std::uint8_t* p, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;)
    value = value << 8 | p[i];
  return value;
}

} // namespace vextest
