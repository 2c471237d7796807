// Bytes in memory: a buffer the tool owns, and a view of bytes someone else owns. The decoders
// take views, so that they read a file's bytes however they arrived (a file, a member of an
// archive, a fuzzer's input) without touching the file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vex {

using TByteDynArray = std::vector<std::uint8_t>;

// Bytes that someone else owns, such as a member in the unpack loop's reusable buffer.
class TBytesView {
public:
  TBytesView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  TBytesView(const TByteDynArray& bytes) : data_(bytes.data()), size_(bytes.size()) {}
  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  std::uint8_t operator[](std::size_t i) const { return data_[i]; }

private:
  const std::uint8_t* data_;
  std::size_t size_;
};

} // namespace vex
