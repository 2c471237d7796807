// The program's arguments on Windows: the command line the system handed over, split by the
// tool's own rules.
#include "command_line.h"

#include <windows.h>

namespace vex {

const bool CommandLineHasOptions = false;

std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/, TEmptyArguments empty) {
  // The runtime's argv follows other rules (backslash escapes, among others); the tool's
  // arguments are split from the command line exactly as the system handed it over.
  return SplitCommandLine(GetCommandLineA(), SystemPathSyntax().isLeadByte, empty);
}

} // namespace vex
