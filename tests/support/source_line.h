// Finds the line of a source file that holds a piece of text: assertion messages carry the
// line of their check, and tests check them exactly without restating the number.
#pragma once

#include <fstream>
#include <string>

namespace vextest {

inline int SourceLineOf(const std::string& path, const std::string& text) {
  std::ifstream source(path);
  std::string line;
  for (int number = 1; std::getline(source, line); ++number) {
    if (line.find(text) != std::string::npos)
      return number;
  }
  return -1;
}

// The message of the conversion's pixel-format assertion.
inline std::string PixelFormatAssertion() {
  return "Assertion failure (vex_graphics.cpp, line " +
         std::to_string(SourceLineOf(VEX_GRAPHICS_SOURCE, "VEX_ASSERT(bytesPerPixel")) + ")";
}

} // namespace vextest
