// Interrupts on POSIX: handlers for SIGINT, SIGTERM and SIGHUP that remove the guarded file
// with unlink, which is safe in a signal handler, then die of the same signal.
#include "interrupts.h"

#include <atomic>
#include <csignal>
#include <iterator>
#include <unistd.h>

namespace vex {

namespace {

constexpr int GuardedSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveAndDie(int signal) {
  if (const char* path = GuardedPath().exchange(nullptr))
    ::unlink(path);
  // The default action ends the program with the signal, as the caller expects of it.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

} // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = RemoveAndDie;
  sigemptyset(&action.sa_mask);
  for (const int signal : GuardedSignals) {
    // A signal ignored from the start (nohup, a background job's SIGINT) is the caller's wish.
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
      ::sigaction(signal, &action, nullptr);
  }
}

} // namespace vex
