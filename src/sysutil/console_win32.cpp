// Standard output and standard error on Windows, written to their handles as they stand, so
// that "\n" stays "\n".
#include "console.h"

#include <windows.h>

#include <algorithm>

namespace vex {

namespace {

// Older consoles refuse a single write of much more than 64 KiB; pipes and files take any.
constexpr std::size_t MaxWriteSize = std::size_t{1} << 15;

} // namespace

// WriteFile, not the C runtime's stdio: no text mode turns "\n" into "\r\n", and a failure
// comes with the system's own error code.
bool WriteWholeToStream(TStandardStream stream, std::string_view text) {
  const HANDLE handle =
      GetStdHandle(stream == TStandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  while (!text.empty()) {
    DWORD written = 0;
    const auto count = static_cast<DWORD>(std::min(text.size(), MaxWriteSize));
    if (!WriteFile(handle, text.data(), count, &written, nullptr))
      return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

// A file on a network share may report lost data only when its handle is closed.
bool CloseStandardOutput() {
  return CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE)) != 0;
}

} // namespace vex
