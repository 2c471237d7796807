// The codes of the failures the tests provoke, and the system's texts for them, as each
// platform reports them: errno and strerror on POSIX, Win32 codes and their texts on Windows.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vextest {

constexpr int CodeWithoutText = 1234567;
#ifdef _WIN32
constexpr int NoSuchFile = ERROR_FILE_NOT_FOUND;
constexpr int NoSuchPath = ERROR_PATH_NOT_FOUND;
constexpr int AlreadyExists = ERROR_ALREADY_EXISTS;
constexpr int AccessDenied = ERROR_ACCESS_DENIED;
constexpr int IsAFolder = ERROR_ACCESS_DENIED; // a folder opened or created as a file
const std::string TextOfCodeWithoutText;       // the system has none
inline void SetLastSystemError(int code) {
  SetLastError(static_cast<DWORD>(code));
}
// The system's own text, asked for here apart from the tool: its message table without
// inserts, and without the line break, blanks and full stop that end it.
inline std::string OsText(int code) {
  char text[256];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
  while (n > 0 && (static_cast<unsigned char>(text[n - 1]) <= ' ' || text[n - 1] == '.'))
    --n;
  return std::string(text, n);
}
#else
constexpr int NoSuchFile = ENOENT;
constexpr int NoSuchPath = ENOENT;
constexpr int AlreadyExists = EEXIST;
constexpr int AccessDenied = EACCES;
constexpr int IsAFolder = EISDIR;
const std::string TextOfCodeWithoutText = std::strerror(CodeWithoutText); // every code has one
inline void SetLastSystemError(int code) {
  errno = code;
}
inline std::string OsText(int code) {
  return std::strerror(code);
}
#endif

// The EOSError message for `code`.
inline std::string OsMessage(int code) {
  return "System Error.  Code: " + std::to_string(code) + ".\r\n" + OsText(code);
}

// `path` as the system writes absolute paths: on Windows every "/" becomes "\".
inline std::string NativePath(std::string path) {
#ifdef _WIN32
  for (char& c : path)
    if (c == '/')
      c = '\\';
#endif
  return path;
}

} // namespace vextest
