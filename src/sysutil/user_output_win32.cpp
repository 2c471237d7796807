// What the user sees on Windows: standard output and standard error written to their handles
// as they stand, so that "\n" stays "\n", and real message boxes.
#include "console.h"
#include "message_box.h"

#include <windows.h>

#include <algorithm>

namespace vex {

namespace {

// Every box of the tool has no owner window and one OK button.
constexpr UINT ErrorBoxFlags = MB_ICONERROR;
constexpr UINT InformationBoxFlags = MB_ICONINFORMATION;
static_assert(ErrorBoxFlags == 0x10 && InformationBoxFlags == 0x40);

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

void ShowError(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), ErrorBoxFlags);
}

void ShowInformation(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), InformationBoxFlags);
}

} // namespace vex
