// The few OS primitives that the portable half of the OS layer is written over, and the pure
// pieces of the platform halves. Each platform file (vex_sys_utils_posix.cpp,
// vex_sys_utils_win32.cpp) defines the primitives; nothing outside src/sysutil and its tests
// includes this header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vex::platform {

// Whether anything at all stands at `path`: a file, a folder, even a link to nothing.
bool EntryExists(const std::string& path);
// Whether `path` names an existing folder; an existing file of that name does not count.
bool DirectoryExists(const std::string& path);
// Creates the one folder `path`, whose parent must exist. False on failure, the system's last
// error set.
bool CreateOneFolder(const std::string& path);
// The system's untrimmed text for an error code; SystemErrorText trims it.
std::string RawSystemErrorText(std::uint32_t code);

// The lexical part of FullPathName on POSIX: `path` joined to `currentFolder` unless it is
// absolute, "." and ".." resolved without asking the file system.
std::string JoinAndNormalizePosix(std::string_view currentFolder, std::string_view path);

} // namespace vex::platform
