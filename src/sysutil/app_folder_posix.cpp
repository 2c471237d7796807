// The executable's folder on Linux (/proc/self/exe) and macOS (_NSGetExecutablePath), links
// resolved, and the share/ folder beside bin/ that an installation under one prefix uses.
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

const std::vector<std::string>& InstalledDataFolders() {
  static const std::vector<std::string> folders{"../share/marlovexine/"};
  return folders;
}

} // namespace vex
