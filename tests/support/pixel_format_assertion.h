// The message of the conversion's check of the template's pixel format. It names the line of
// that check in vex_graphics.cpp, so an edit above the check moves it: this is the one place
// the tests keep the number.
#pragma once

namespace vextest {

constexpr const char* PixelFormatAssertion = "Assertion failure (vex_graphics.cpp, line 33)";

} // namespace vextest
