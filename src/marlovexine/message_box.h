// What the tool shows the user. On Windows a message box of the kind the call names; on POSIX
// the text goes to standard output, or to standard error for an error, with "\r\n" written as
// "\n" and one "\n" at the end.
#pragma once

#include <string>

namespace vex {

void ShowError(const std::string& text, const std::string& caption);
void ShowInformation(const std::string& text, const std::string& caption);

} // namespace vex
