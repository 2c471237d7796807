// Interrupts: a file that must not outlive the run when the user stops it (Ctrl-C, SIGTERM,
// SIGHUP; on Windows Ctrl-C, Ctrl-Break and closing the console).
#pragma once

#include <atomic>
#include <string>

namespace vex {

// While it guards a path, an interrupt removes the file at that path and then ends the program
// as the interrupt would have ended it. The handlers are installed once, by the first guard,
// and stay: an interrupt with nothing guarded ends the program as it always would, and a
// signal the program was started with ignored (nohup) stays ignored. One path at a time: a
// second guard replaces the first. A file guarded on Windows should be open with removal
// shared (TOpenMode::CreateNew): it is then marked for removal and goes when the program's
// handles close.
class TRemoveOnInterrupt {
public:
  TRemoveOnInterrupt();
  ~TRemoveOnInterrupt() { Release(); }
  TRemoveOnInterrupt(const TRemoveOnInterrupt&) = delete;
  TRemoveOnInterrupt& operator=(const TRemoveOnInterrupt&) = delete;

  // Guards `path` from now on, before the file exists, so that no moment between its creation
  // and the guard lets an interrupt leave it behind.
  void Guard(const std::string& path);
  // Guards nothing any more: the file was renamed into place, or removed.
  void Release();

private:
  std::string path_;
};

// The path an interrupt removes, or nullptr: read by the platform's handler, which may run at
// any moment, so it is only ever set to a whole string that outlives it.
std::atomic<const char*>& GuardedPath();
// Installs the platform's handlers; called once, by the first guard.
void InstallInterruptHandlers();

} // namespace vex
