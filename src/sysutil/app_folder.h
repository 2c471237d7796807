// The executable's own folder, and where the files that ship with the tool are found from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vex {

// The folder of the running executable, symbolic links resolved, with its trailing
// delimiter; empty when the system cannot tell. Asks the system at each call.
std::string ExecutableFolder();

// Where an installation keeps the files that ship with the tool, relative to the executable's
// folder, each with its trailing delimiter: "../share/marlovexine/" on Linux and macOS, whose
// installations put bin/ and share/ under one prefix; none on Windows, where they stay beside
// the executable.
const std::vector<std::string>& InstalledDataFolders();
// The path to read `name`, a file that ships with the tool, from: `appFolder` + `name` when
// anything of that name stands there (even a folder: its error is the one the user needs);
// else the first of `appFolder` + folder + `name`, folder one of `dataFolders`, that exists;
// else `appFolder` + `name`, so that the failed open names the place looked at first.
std::string LocateShippedFile(const std::string& appFolder, std::string_view name,
                              const std::vector<std::string>& dataFolders);

} // namespace vex
