// Reading a decoder's bytes from memory or from a file, with one bound check for both.
#include "byte_source.h"

#include "exceptions.h"

#include <cstring>

namespace vex {

void TByteSource::ReadAt(std::uint64_t at, void* data, std::size_t count) const {
  if (at > size_ || count > size_ - at)
    throw EReadError();
  if (count == 0)
    return;
  if (file_ != nullptr)
    file_->ReadExactAt(offset_ + at, data, count);
  else
    std::memcpy(data, bytes_.data() + at, count);
}

} // namespace vex
