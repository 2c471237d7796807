// Paths on Windows: "\" and ":" delimit, the ANSI code page's lead bytes start double-byte
// characters whose second byte never counts, and GetFullPathNameA gives the absolute form.
#include "paths.h"

#include <windows.h>

#include <array>

namespace vex {

namespace {

// The lead bytes of the ANSI code page, from the ranges that GetCPInfo reports. Read once: the
// code page of a process does not change while it runs.
const std::array<bool, 256>& AnsiLeadBytes() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> lead{};
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info)) {
      // Pairs of first and last byte, ended by a pair of zeros.
      for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1] && b < 256; ++b)
          lead[b] = true;
    }
    return lead;
  }();
  return table;
}

bool IsAnsiLeadByte(unsigned char c) {
  return AnsiLeadBytes()[c];
}

} // namespace

const TPathSyntax& SystemPathSyntax() {
  // Double-byte characters are looked for only where the system says it handles them.
  static const TPathSyntax syntax{
      "\\:", '\\', GetSystemMetrics(SM_DBCSENABLED) != 0 ? &IsAnsiLeadByte : nullptr};
  return syntax;
}

std::string FullPathName(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0)
    return path; // no absolute form (an empty or invalid name): the path names itself
  if (length < MAX_PATH)
    return std::string(buffer, length);
  // Longer than the usual limit: the call reported the room it needs. A cut path would name a
  // different file in messages and a different parent in ForceFolder.
  std::string longer(length, '\0');
  const DWORD got = GetFullPathNameA(path.c_str(), length, longer.data(), nullptr);
  longer.resize(got > 0 && got < length ? got : 0);
  return longer.empty() ? path : longer;
}

} // namespace vex
