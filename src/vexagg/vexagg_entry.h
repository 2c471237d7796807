// vexagg's run from its arguments to its exit code: the subcommands, the usage text, and the
// one place where its failures are caught and shown.
#pragma once

#include <string>
#include <vector>

namespace vex {

// The version, as the project states it, and the usage text that begins with it.
extern const char* const VexaggVersion;
extern const std::string VexaggUsageText;

// Exit codes: success, a failure (shown on standard error), wrong arguments.
constexpr int VexaggSuccess = 0;
constexpr int VexaggFailure = 1;
constexpr int VexaggUsageError = 2;

// Runs vexagg on its arguments (the program itself and empty arguments left out), finding the
// palette template from `appFolder` as Marlovexine does. Results go to standard output; a
// failure's message goes to standard error: the message and ".", and on the next line the
// member or file it concerns, if any.
int RunVexagg(const std::vector<std::string>& args, const std::string& appFolder);

} // namespace vex
