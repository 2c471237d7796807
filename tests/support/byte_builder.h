// The tests' own little-endian byte builder. Expected file bytes are built with this, field
// by field, never with the production writer, so that a bug cannot cancel itself out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vextest {

class ByteBuilder {
public:
  ByteBuilder& U8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  ByteBuilder& U16(std::uint16_t v) {
    return U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8));
  }
  ByteBuilder& U32(std::uint32_t v) {
    return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16));
  }
  ByteBuilder& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
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

} // namespace vextest
