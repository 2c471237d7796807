// Standard output and standard error on POSIX, written straight to their descriptors.
#include "console.h"

#include <cerrno>
#include <unistd.h>

namespace vex {

// No stdio buffer stands between the tool and the descriptor: each write's failure is seen
// where it happens, with its own errno, and a signal that interrupts a write (EINTR) does not
// lose what was left of it.
bool WriteWholeToStream(TStandardStream stream, std::string_view text) {
  const int fd = stream == TStandardStream::Output ? STDOUT_FILENO : STDERR_FILENO;
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written < 0)
      return false;
    if (written == 0) { // a write that takes nothing and tells no error would loop for ever
      errno = EIO;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A file on a network file system or under a disk quota may report lost data only at close.
bool CloseStandardOutput() {
  return ::close(STDOUT_FILENO) == 0;
}

} // namespace vex
