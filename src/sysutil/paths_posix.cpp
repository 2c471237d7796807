// Paths on POSIX: "/" is the only delimiter, no byte leads a double-byte character, and the
// absolute form of a path is lexical, the current folder joined with it.
#include "paths.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

#include <vector>

namespace vex {

const TPathSyntax& SystemPathSyntax() {
  static constexpr TPathSyntax syntax{"/", '/', nullptr};
  return syntax;
}

std::string FullPathName(const std::string& path) {
  std::string cwd;
  if (path.empty() || path.front() != '/') {
    // The current folder can be longer than PATH_MAX on some systems; grow until it fits.
    std::vector<char> buffer(PATH_MAX);
    while (getcwd(buffer.data(), buffer.size()) == nullptr && errno == ERANGE)
      buffer.resize(buffer.size() * 2);
    cwd = buffer.data();
  }
  return JoinAndNormalizePosix(cwd, path);
}

} // namespace vex
