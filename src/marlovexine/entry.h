// The run of the tool from its arguments to its last message box.
#pragma once

#include "exceptions.h"

#include <string>
#include <vector>

namespace vex {

extern const char* const UsageText;
extern const char* const SuccessText;
extern const char* const BoxCaption;

// Shows the error box for `failure`: its message and ".", then, when it concerns a member,
// "\r\n" and the member's name.
void ShowErrorBox(const Exception& failure);

// Runs the tool on its arguments (the program itself and empty arguments left out), with the
// palette template found from `appFolder`, the executable's folder, and returns the exit code:
// 0 after the usage or success box, 1 after the error box, which also tells of a text that
// standard output did not take (POSIX).
int RunMarlovexine(const std::vector<std::string>& args, const std::string& appFolder);

} // namespace vex
