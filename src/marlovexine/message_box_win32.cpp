// The message boxes of the tool on Windows: real ones, which only Marlovexine links, so that
// the console program vexagg never shows or imports a box.
#include "message_box.h"

#include <windows.h>

namespace vex {

namespace {

// Every box of the tool has no owner window and one OK button.
constexpr UINT ErrorBoxFlags = MB_ICONERROR;
constexpr UINT InformationBoxFlags = MB_ICONINFORMATION;
static_assert(ErrorBoxFlags == 0x10 && InformationBoxFlags == 0x40);

} // namespace

void ShowError(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), ErrorBoxFlags);
}

void ShowInformation(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), InformationBoxFlags);
}

} // namespace vex
