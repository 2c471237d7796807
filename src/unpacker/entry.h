// The run of the tool from its arguments to its last message box.
#pragma once

#include <string>
#include <vector>

namespace vex {

extern const char* const UsageText;
extern const char* const SuccessText;
extern const char* const BoxCaption;

// The executable's folder, where the palette template is looked for (see PaletteTemplatePath),
// as the run keeps it: set by InitAppPath at start-up and only read after that.
std::string& AppPath();
void InitAppPath();

// Shows the error box for `message`: the message and ".", or, while a member is being
// processed, the message, ".\r\n" and the member's name.
void ShowErrorBox(const std::string& message);

// Runs the tool on its arguments (the program itself and empty arguments left out) and returns
// the exit code: 0 after the usage or success box, 1 after the error box.
int RunMarlovexine(const std::vector<std::string>& args);

} // namespace vex
