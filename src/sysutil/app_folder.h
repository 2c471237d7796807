// The executable's own folder, and where the files that ship with the tool are found from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vex {

// The folder of the running executable, symbolic links resolved, with its trailing
// delimiter; empty when the system cannot tell. Asks the system at each call.
std::string ExecutableFolder();

// The folders, each with its trailing delimiter, where a file that ships with the tool is
// looked for when the executable's folder `appFolder` has none, in order. On Linux and macOS:
// the user's own, "$XDG_CONFIG_HOME/marlovexine/" ("~/.config/marlovexine/" when that is not
// set to an absolute path), where a user keeps files of their own without root and no install
// prefix reaches; then the installation's, "../share/marlovexine/" from `appFolder`
// (installations put bin/ and share/ under one prefix). None on Windows, where the files stay
// beside the executable.
std::vector<std::string> DataFolders(const std::string& appFolder);
// The path to read `name`, a file that ships with the tool, from: `appFolder` + `name` when
// anything of that name stands there (even a folder: its error is the one the user needs);
// else the first of folder + `name`, folder one of `dataFolders`, that exists; else
// `appFolder` + `name`, so that the failed open names the place looked at first. Empty when
// `appFolder` is (the system could not tell it): no folder is looked at, and never the
// current one.
std::string LocateShippedFile(const std::string& appFolder, std::string_view name,
                              const std::vector<std::string>& dataFolders);

} // namespace vex
