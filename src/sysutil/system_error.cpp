// The portable half of the system's errors: trimming their texts and the EOSError message.
#include "system_error.h"

#include "exceptions.h"

namespace vex {

std::string TrimSystemErrorText(std::string text) {
  std::size_t n = text.size();
  while (n > 0) {
    const auto c = static_cast<unsigned char>(text[n - 1]);
    if (c > 0x20 && c != '.')
      break;
    --n;
  }
  text.resize(n);
  return text;
}

std::string SystemErrorMessage(std::uint32_t code) {
  if (code == 0)
    return "A call to an OS function failed";
  // Codes of 0x80000000 and above print as negative numbers, as the system shows them.
  return "System Error.  Code: " + std::to_string(static_cast<std::int32_t>(code)) + ".\r\n" +
         SystemErrorText(code);
}

void RaiseLastSystemError() {
  const std::uint32_t code = LastSystemError();
  throw EOSError(SystemErrorMessage(code), static_cast<std::int32_t>(code));
}

} // namespace vex
