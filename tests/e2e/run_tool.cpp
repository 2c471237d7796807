// fork and exec, with standard output and error sent to files that are read afterwards: no
// pipe can fill up and stall the child.
#include "run_tool.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace vextest {

namespace {

// A fresh file in the system's temp folder, so the captures never land among the tool's output.
std::string CaptureFile() {
  std::string path = "/tmp/vex_capture_XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0)
    throw std::runtime_error("mkstemp failed");
  close(fd);
  return path;
}

std::string Slurp(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  return {bytes.begin(), bytes.end()};
}

} // namespace

ToolRun RunTool(const std::string& exe, const std::vector<std::string>& args,
                const std::string& cwd) {
  const std::string outPath = CaptureFile(), errPath = CaptureFile();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(exe.c_str()));
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0)
    throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || chdir(cwd.c_str()) != 0)
      _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ToolRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = Slurp(outPath);
  run.err = Slurp(errPath);
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return run;
}

} // namespace vextest
