// The browser on POSIX: the desktop's own opener, started without a shell, so that a page's
// name is one argument whatever it holds.
#include "open_in_browser.h"

#include "exceptions.h"
#include "system_error.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace vex {

// macOS names its opener `open`; the other desktops agree on xdg-open.
#if defined(__APPLE__)
const char* const PageOpener = "open";
#else
const char* const PageOpener = "xdg-open";
#endif

namespace {

// Starts the opener on `path` with its standard output on /dev/null, so that what it says
// there never mixes with the tool's results; its errors stay on standard error. Returns its pid.
pid_t StartOpener(const std::string& path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* const argv[] = {const_cast<char*>(PageOpener), const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, PageOpener, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0)
    throw EOSError(std::string("Cannot start ") + PageOpener + ". " +
                       SystemErrorText(static_cast<std::uint32_t>(error)),
                   error);
  return pid;
}

} // namespace

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  if (folder == nullptr || folder[0] != '/')
    return "/tmp/";
  const std::string path = folder;
  return path.back() == '/' ? path : path + "/";
}

void OpenInBrowser(const std::string& path) {
  const pid_t pid = StartOpener(path);
  int status = 0;
  while (waitpid(pid, &status, 0) == -1)
    if (errno != EINTR)
      RaiseLastSystemError();
  const std::string opener = PageOpener;
  if (WIFSIGNALED(status))
    throw EOSError(opener + " was ended by signal " + std::to_string(WTERMSIG(status)));
  if (WEXITSTATUS(status) != 0)
    throw EOSError(opener + " failed with exit code " + std::to_string(WEXITSTATUS(status)));
}

} // namespace vex
