// The portable half of interrupts: the guarded path, set and cleared so that a handler never
// reads a string that is being changed.
#include "interrupts.h"

namespace vex {

std::atomic<const char*>& GuardedPath() {
  static std::atomic<const char*> path{nullptr};
  return path;
}

TRemoveOnInterrupt::TRemoveOnInterrupt() {
  static const bool installed = (InstallInterruptHandlers(), true);
  (void)installed;
}

void TRemoveOnInterrupt::Guard(const std::string& path) {
  GuardedPath().store(nullptr);
  path_ = path;
  GuardedPath().store(path_.c_str());
}

void TRemoveOnInterrupt::Release() {
  GuardedPath().store(nullptr);
}

} // namespace vex
