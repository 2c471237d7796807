// vexagg's run from its arguments to its exit code: the subcommands, the usage text, and the
// one place where its failures are caught and shown.
#pragma once

#include <string>
#include <vector>

namespace vex {

// The version, as the project states it.
extern const char* const VexaggVersion;

// Exit codes: success, a failure (shown on standard error), wrong arguments.
constexpr int VexaggSuccess = 0;
constexpr int VexaggFailure = 1;
constexpr int VexaggUsageError = 2;

// Runs vexagg on its arguments (the program itself left out, empty ones kept: they are refused),
// finding the palette template from `appFolder` as Marlovexine does. Results go to standard
// output; a failure's message goes to standard error: the message and ".", and on the next line
// the member or file it concerns, if any. Wrong arguments give "vexagg: " and the reason, and a
// line that points to the usage. Standard output that did not take every byte fails the run,
// and, as the last act, closes it.
int RunVexagg(const std::vector<std::string>& args, const std::string& appFolder);

} // namespace vex
