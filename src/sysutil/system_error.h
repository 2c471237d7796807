// The system's error codes and their texts, and the EOSError raised for them.
#pragma once

#include <cstdint>
#include <string>

namespace vex {

// The calling thread's last error code (errno on POSIX, GetLastError on Windows).
std::uint32_t LastSystemError();
// The system's text for `code`, without trailing blanks, control bytes and periods.
std::string SystemErrorText(std::uint32_t code);
// Cuts trailing bytes of 0x20 and below and "." from a system text.
std::string TrimSystemErrorText(std::string text);
// The EOSError message for `code`: "System Error.  Code: %d.\r\n%s", or
// "A call to an OS function failed" when `code` is 0.
std::string SystemErrorMessage(std::uint32_t code);
// Whether `code` says that a file of that name exists already.
bool IsAlreadyExistsError(std::uint32_t code);
// Keeps the system's last error across the clean-up calls (a close, a removal) made after a
// failure, so that the caller still learns why it failed.
class TSavedSystemError {
public:
  TSavedSystemError() : code_(LastSystemError()) {}
  ~TSavedSystemError();
  TSavedSystemError(const TSavedSystemError&) = delete;
  TSavedSystemError& operator=(const TSavedSystemError&) = delete;

private:
  std::uint32_t code_;
};
// Raises EOSError for the last system error, its code beside the message. Reads the code before
// doing anything else.
[[noreturn]] void RaiseLastSystemError();

} // namespace vex
