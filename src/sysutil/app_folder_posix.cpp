// The executable's folder on Linux (/proc/self/exe) and macOS (_NSGetExecutablePath), links
// resolved; the user's data folder, and the share/ folder beside bin/ that an installation
// under one prefix uses.
#include "app_folder.h"

#include "paths.h"

#include <cstdint>
#include <cstdlib>

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace vex {

std::string ExecutableFolder() {
  std::string exe;
#if defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::vector<char> raw(size + 1);
  if (_NSGetExecutablePath(raw.data(), &size) == 0) {
    if (char* real = realpath(raw.data(), nullptr)) {
      exe = real;
      std::free(real);
    }
  }
#else
  if (char* real = realpath("/proc/self/exe", nullptr)) {
    exe = real;
    std::free(real);
  }
#endif
  return ExtractFilePath(exe, SystemPathSyntax());
}

std::vector<std::string> DataFolders(const std::string& appFolder) {
  std::vector<std::string> folders;
  // A relative XDG_DATA_HOME is to be ignored, as is a HOME that names no absolute folder.
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome != nullptr && dataHome[0] == '/')
    folders.push_back(IncludeTrailingDelimiter(dataHome, SystemPathSyntax()) + "marlovexine/");
  else if (home != nullptr && home[0] == '/')
    folders.push_back(IncludeTrailingDelimiter(home, SystemPathSyntax()) +
                      ".local/share/marlovexine/");
  // Without the executable's folder there is no installation to look into.
  if (!appFolder.empty())
    folders.push_back(appFolder + "../share/marlovexine/");
  return folders;
}

} // namespace vex
