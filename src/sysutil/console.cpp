// The portable half of console output: the tool's "\r\n" line breaks made into the "\n" that
// scripts read on every platform.
#include "console.h"

namespace vex {

std::string ConsoleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    out += text[i];
  }
  return out;
}

} // namespace vex
