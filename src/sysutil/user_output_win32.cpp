// What the user sees on Windows: standard output and standard error in binary mode, so that
// "\n" stays "\n", and real message boxes.
#include "console.h"
#include "message_box.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace vex {

namespace {

// Every box of the tool has no owner window and one OK button.
constexpr UINT ErrorBoxFlags = MB_ICONERROR;
constexpr UINT InformationBoxFlags = MB_ICONINFORMATION;
static_assert(ErrorBoxFlags == 0x10 && InformationBoxFlags == 0x40);

// The C runtime's text mode would write "\n" as "\r\n"; console output goes out as it stands.
void WriteToStream(std::string_view text, std::FILE* stream) {
  _setmode(_fileno(stream), _O_BINARY);
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

} // namespace

void WriteStandardOutput(std::string_view text) {
  WriteToStream(text, stdout);
}

void WriteStandardError(std::string_view text) {
  WriteToStream(text, stderr);
}

void ShowError(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), ErrorBoxFlags);
}

void ShowInformation(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), InformationBoxFlags);
}

} // namespace vex
