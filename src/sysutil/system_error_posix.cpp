// The system's errors on POSIX: errno, and strerror for its texts.
#include "system_error.h"

#include <cerrno>
#include <cstring>

namespace vex {

namespace {

std::string RawSystemErrorText(std::uint32_t code) {
  return std::strerror(static_cast<int>(code));
}

} // namespace

std::uint32_t LastSystemError() {
  return static_cast<std::uint32_t>(errno);
}

std::string SystemErrorText(std::uint32_t code) {
  return TrimSystemErrorText(RawSystemErrorText(code));
}

bool IsAlreadyExistsError(std::uint32_t code) {
  return code == EEXIST;
}

TSavedSystemError::~TSavedSystemError() {
  errno = static_cast<int>(code_);
}

} // namespace vex
