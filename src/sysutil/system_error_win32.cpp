// The system's errors on Windows: GetLastError, and the system's own message table for texts.
#include "system_error.h"

#include <windows.h>

namespace vex {

namespace {

std::string RawSystemErrorText(std::uint32_t code) {
  // 0x3200: the system's own message table, inserts left as they stand. A text that does not
  // fit the buffer makes the call fail, and the text is then empty.
  constexpr DWORD flags =
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY;
  static_assert(flags == 0x3200);
  char buffer[256];
  const DWORD length = FormatMessageA(flags, nullptr, code, 0, buffer, sizeof buffer, nullptr);
  return std::string(buffer, length);
}

} // namespace

std::uint32_t LastSystemError() {
  return GetLastError();
}

std::string SystemErrorText(std::uint32_t code) {
  return TrimSystemErrorText(RawSystemErrorText(code));
}

bool IsAlreadyExistsError(std::uint32_t code) {
  return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

TSavedSystemError::~TSavedSystemError() {
  SetLastError(code_);
}

} // namespace vex
