// The executable's folder on Linux (/proc/self/exe) and macOS (_NSGetExecutablePath), links
// resolved; the user's configuration folder, and the share/ folder beside bin/ that an
// installation under one prefix uses.
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
  // The user's template is configuration, which no install writes: an install under the
  // prefix ~/.local fills ~/.local/share, and would put the shipped template over the user's.
  // A relative XDG_CONFIG_HOME is to be ignored, as is a HOME that names no absolute folder.
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (configHome != nullptr && configHome[0] == '/')
    folders.push_back(IncludeTrailingDelimiter(configHome, SystemPathSyntax()) + "marlovexine/");
  else if (home != nullptr && home[0] == '/')
    folders.push_back(IncludeTrailingDelimiter(home, SystemPathSyntax()) + ".config/marlovexine/");
  // Without the executable's folder there is no installation to look into.
  if (!appFolder.empty())
    folders.push_back(appFolder + "../share/marlovexine/");
  return folders;
}

} // namespace vex
