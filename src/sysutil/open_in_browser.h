// Showing a page the tool wrote in the user's own browser, and the folder where such a page
// goes when the user names none.
#pragma once

#include <string>

namespace vex {

// The user's folder for temporary files, with its trailing delimiter: on POSIX $TMPDIR when it
// is an absolute path, else "/tmp/"; on Windows what GetTempPathA reports.
std::string TemporaryFolder();

// Hands the file at `path`, an absolute path, to the program the desktop opens pages with,
// and returns once it is handed over, never waiting for a browser to quit: ShellExecuteA
// "open" on Windows; xdg-open on Linux and open on macOS, which return when they have passed
// the page on. Raises EOSError when that program cannot be started or reports a failure.
void OpenInBrowser(const std::string& path);

#if !defined(_WIN32)
// The opener OpenInBrowser starts on POSIX, found on PATH: "open" on macOS, else "xdg-open".
extern const char* const PageOpener;
#endif

} // namespace vex
