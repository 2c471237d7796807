// The program's arguments on POSIX: argv as the shell split it, empty arguments dropped.
#include "command_line.h"

namespace vex {

const bool CommandLineHasOptions = true;

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    // An empty argument is skipped, as a pair of quotes is on Windows.
    if (argv[i] != nullptr && argv[i][0] != '\0')
      args.emplace_back(argv[i]);
  }
  return args;
}

} // namespace vex
