// Where a decoder's bytes come from: bytes already in memory, or a stretch of an open file that
// is read only as far as the decoder asks. Decoders check each size a file states against what
// remains before they read or allocate for it, so a file need not be loaded whole to be refused.
#pragma once

#include "bytes.h"
#include "files.h"

#include <cstddef>
#include <cstdint>

namespace vex {

class TByteSource {
public:
  // The bytes `bytes` views; they must outlive the source.
  TByteSource(TBytesView bytes) : bytes_(bytes), size_(bytes.size()) {}
  TByteSource(const TByteDynArray& bytes) : TByteSource(TBytesView(bytes)) {}
  // The `size` bytes of `file` that begin at `offset` (a whole file, or a member of an
  // archive); `file` must outlive the source.
  TByteSource(const TFile& file, std::uint64_t offset, std::uint64_t size)
      : file_(&file), offset_(offset), size_(size) {}

  std::uint64_t Size() const { return size_; }
  // Copies the `count` bytes that begin at `at`. Raises EReadError when they run past Size()
  // (nothing is read then) or the file cannot give them.
  void ReadAt(std::uint64_t at, void* data, std::size_t count) const;

private:
  const TFile* file_ = nullptr; // nullptr: the bytes are in memory
  TBytesView bytes_{nullptr, 0};
  std::uint64_t offset_ = 0;
  std::uint64_t size_;
};

} // namespace vex
