// Interrupts on Windows: a console control handler. It runs on a thread of its own while the
// main thread may still write the file, so it only marks the file for removal (the file is
// open with removal shared); returning FALSE lets the default handler end the process, whose
// closing handles then take the file away.
#include "interrupts.h"

#include <windows.h>

#include <atomic>

namespace vex {

namespace {

BOOL WINAPI RemoveOnControl(DWORD) {
  // Every event this handler sees ends the process: Ctrl-C, Ctrl-Break, the console closing,
  // log-off and shut-down.
  if (const char* path = GuardedPath().exchange(nullptr))
    DeleteFileA(path);
  return FALSE;
}

} // namespace

void InstallInterruptHandlers() {
  SetConsoleCtrlHandler(RemoveOnControl, TRUE);
}

} // namespace vex
