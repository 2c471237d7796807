// Interrupts: a file that must not outlive the run when the user stops it (Ctrl-C, SIGTERM,
// SIGHUP; on Windows Ctrl-C, Ctrl-Break and closing the console).
#pragma once

#include <string>

namespace vex {

// While it lives, an interrupt removes the file at `path` and then ends the program as the
// interrupt would have ended it. One at a time: a second guard replaces the first. The file
// should be open for writing with removal shared (TOpenMode::CreateNew): on Windows it is then
// marked for removal and goes when the program's handles close.
class TRemoveOnInterrupt {
public:
  explicit TRemoveOnInterrupt(std::string path);
  ~TRemoveOnInterrupt();
  TRemoveOnInterrupt(const TRemoveOnInterrupt&) = delete;
  TRemoveOnInterrupt& operator=(const TRemoveOnInterrupt&) = delete;

private:
  std::string path_;
};

} // namespace vex
