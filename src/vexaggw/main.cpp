// vexaggw.exe: runs vexagg.exe from its own folder with the same arguments and no console
// window, waits for it and exits with its code. A GUI program has nowhere to print, so what a
// failed run wrote to standard error is shown in a message box instead.
#include "command_line.h"
#include "system_error.h"

#include <windows.h>

#include <string>

namespace {

// `text`, bytes of the ANSI code page as vexagg writes them, as UTF-16 for a message box.
std::wstring Widened(const std::string& text) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(
      static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)),
      L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

void ShowFailure(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), L"vexagg", MB_OK | MB_ICONERROR);
}

// An inheritable handle, closed when it goes out of scope.
class THandle {
public:
  explicit THandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~THandle() { Close(); }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HANDLE* Address() { return &handle_; }
  HANDLE Get() const { return handle_; }
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr)
      CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

private:
  HANDLE handle_;
};

// vexagg.exe in the folder of this executable.
std::wstring VexaggPath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"vexagg.exe";
}

// Everything vexagg writes to standard error, read to the end of the pipe: the pipe must be
// drained while vexagg runs, or a long message would block it.
std::string ReadAll(HANDLE pipe) {
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got != 0)
    text.append(buffer, got);
  return text;
}

// Starts vexagg: standard error into `errorWrite`, standard input and output on NUL (its
// results have no reader here, and a missing handle would fail its writes).
bool StartVexagg(const std::wstring& exe, HANDLE errorWrite, HANDLE nul, PROCESS_INFORMATION& pi) {
  std::wstring line = L"\"" + exe + L"\" ";
  line += vex::ArgumentsAfterProgram(GetCommandLineW());
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nul;
  si.hStdOutput = nul;
  si.hStdError = errorWrite;
  return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi) != 0;
}

// Runs vexagg to its end; returns its exit code and leaves in `errors` what it said there. A
// vexagg that cannot be started is a failure (1) whose text says so.
DWORD RunVexagg(std::wstring& errors) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  THandle errorRead, errorWrite;
  THandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          &inherited, OPEN_EXISTING, 0, nullptr));
  const std::wstring exe = VexaggPath();
  PROCESS_INFORMATION pi = {};
  // Only the pipe's write end goes to vexagg: were the read end inherited too, the pipe would
  // never report its end.
  if (!CreatePipe(errorRead.Address(), errorWrite.Address(), &inherited, 0) ||
      !SetHandleInformation(errorRead.Get(), HANDLE_FLAG_INHERIT, 0) ||
      !StartVexagg(exe, errorWrite.Get(), nul.Get(), pi)) {
    const std::uint32_t code = vex::LastSystemError();
    errors = L"vexagg.exe could not be started:\n" + exe + L"\n" +
             Widened(vex::SystemErrorText(code)) + L".";
    return 1;
  }
  THandle process(pi.hProcess), thread(pi.hThread);
  errorWrite.Close();
  errors = Widened(ReadAll(errorRead.Get()));
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  return code;
}

} // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*line*/, int /*show*/) {
  std::wstring errors;
  const DWORD code = RunVexagg(errors);
  if (code != 0)
    ShowFailure(errors.empty() ? L"vexagg failed with exit code " + std::to_wstring(code) + L"."
                               : errors);
  return static_cast<int>(code);
}
