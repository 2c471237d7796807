// VEX_ASSERT's failure, the one exception raised with a source position rather than with what
// the tool found; the hierarchy itself lives in exceptions.h.
#include "exceptions.h"

#include <string_view>

namespace vex {

void RaiseAssertion(const char* file, int line) {
  std::string_view name(file);
  // The base name only: the message must not depend on where the tree was built.
  const std::size_t cut = name.find_last_of("/\\");
  if (cut != std::string_view::npos)
    name.remove_prefix(cut + 1);
  throw EAssertionFailed("Assertion failure (" + std::string(name) + ", line " +
                         std::to_string(line) + ")");
}

} // namespace vex
