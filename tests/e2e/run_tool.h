// Runs the real executable as a user would, and collects what it printed and its exit code.
#pragma once

#include <string>
#include <vector>

namespace vextest {

struct ToolRun {
  int exitCode = -1;
  std::string out; // standard output
  std::string err; // standard error
};

// Runs `exe` with `args` (passed as they stand, empty ones included) in the folder `cwd`.
ToolRun RunTool(const std::string& exe, const std::vector<std::string>& args,
                const std::string& cwd);

} // namespace vextest
