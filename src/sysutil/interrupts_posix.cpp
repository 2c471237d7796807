// Interrupts on POSIX: handlers for SIGINT, SIGTERM and SIGHUP that remove the guarded file
// with unlink, which is safe in a signal handler, then die of the same signal.
#include "interrupts.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace vex {

namespace {

constexpr int GuardedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler only reads a pointer that the guard keeps valid while it is set.
std::atomic<const char*> guardedPath{nullptr};
struct sigaction previous[sizeof GuardedSignals / sizeof GuardedSignals[0]];

extern "C" void RemoveAndDie(int signal) {
  if (const char* path = guardedPath.exchange(nullptr))
    ::unlink(path);
  // The default action ends the program with the signal, as the caller expects of it.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

} // namespace

TRemoveOnInterrupt::TRemoveOnInterrupt(std::string path) : path_(std::move(path)) {
  guardedPath.store(path_.c_str());
  struct sigaction action {};
  action.sa_handler = RemoveAndDie;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(GuardedSignals); ++i)
    ::sigaction(GuardedSignals[i], &action, &previous[i]);
}

TRemoveOnInterrupt::~TRemoveOnInterrupt() {
  for (std::size_t i = 0; i < std::size(GuardedSignals); ++i)
    ::sigaction(GuardedSignals[i], &previous[i], nullptr);
  guardedPath.store(nullptr);
}

} // namespace vex
