// The browser on Windows: the shell's "open" verb on the page, which starts whatever program
// the user chose for pages.
#include "open_in_browser.h"

#include "exceptions.h"
#include "system_error.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace vex {

namespace {

// COM set up for the calling thread while it lives: the shell may hand the verb to extensions
// that are COM objects. A thread that has COM already keeps it as it is.
class TComApartment {
public:
  TComApartment()
      : initialized_(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~TComApartment() {
    if (initialized_)
      CoUninitialize();
  }
  TComApartment(const TComApartment&) = delete;
  TComApartment& operator=(const TComApartment&) = delete;

private:
  bool initialized_;
};

} // namespace

std::string TemporaryFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length > MAX_PATH)
    RaiseLastSystemError();
  return std::string(buffer, length);
}

void OpenInBrowser(const std::string& path) {
  const TComApartment com;
  // A result above 32 is success; below it, the system's last error tells why (for a page
  // type with no program at all, ERROR_NO_ASSOCIATION).
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    const std::uint32_t code = LastSystemError();
    throw EOSError("No browser could be started. " + SystemErrorText(code), static_cast<int>(code));
  }
}

} // namespace vex
