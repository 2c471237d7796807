// The few OS primitives that the portable half of the file utilities is written over. Each
// platform file (vex_sys_utils_posix.cpp, vex_sys_utils_win32.cpp) defines them; nothing
// outside src/sysutil includes this header.
#pragma once

#include <string>

namespace vex::platform {

// Whether anything at all stands at `path`: a file, a folder, even a link to nothing.
bool EntryExists(const std::string& path);
// Whether `path` names an existing folder; an existing file of that name does not count.
bool DirectoryExists(const std::string& path);
// Creates the one folder `path`, whose parent must exist. False on failure, the system's last
// error set.
bool CreateOneFolder(const std::string& path);

} // namespace vex::platform
