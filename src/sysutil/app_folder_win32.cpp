// The executable's folder on Windows, from GetModuleFileNameA; the files that ship with the
// tool stay beside the executable, so there are no installation folders to look into.
#include "app_folder.h"

#include "paths.h"

#include <windows.h>

namespace vex {

std::string ExecutableFolder() {
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  // A path that fills the whole buffer was cut short; a cut path would point the palette
  // template at the wrong folder, so ask again with more room (the system's limit is 32767).
  while (length == buffer.size() && buffer.size() < 32768) {
    buffer.resize(buffer.size() * 2);
    length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  return ExtractFilePath(std::string_view(buffer.data(), length), SystemPathSyntax());
}

std::vector<std::string> DataFolders(const std::string& /*appFolder*/) {
  // The ZIP keeps the executable and the files it needs side by side.
  return {};
}

} // namespace vex
