// The program's arguments on POSIX: argv as the shell split it, empty arguments dropped or kept.
#include "command_line.h"

namespace vex {

const bool CommandLineHasOptions = true;

std::vector<std::string> ProgramArguments(int argc, char** argv, TEmptyArguments empty) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    // An empty argument is skipped, as a pair of quotes is on Windows, unless it is kept.
    if (argv[i] != nullptr && (argv[i][0] != '\0' || empty == TEmptyArguments::Kept))
      args.emplace_back(argv[i]);
  }
  return args;
}

} // namespace vex
