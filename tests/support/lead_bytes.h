// A stand-in for a double-byte code page such as 932, for the pure path and command-line
// rules: 0x81..0x9F and 0xE0..0xFC lead a two-byte character.
#pragma once

namespace vextest {

inline bool IsTestLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace vextest
