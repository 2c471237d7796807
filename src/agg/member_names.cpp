// Member names and the names of the files they are unpacked to.
#include "member_names.h"

#include "known_names.h"
#include "paths.h"

namespace vex {

namespace {

// From the last "." on; empty when there is none. Known names hold no folder delimiter of
// any system, and fallback names none at all, so only the dot counts.
std::string_view Extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

} // namespace

std::string MemberName(std::uint16_t key, std::size_t index) {
  const std::string_view known = LookupKnownName(key);
  if (!known.empty())
    return std::string(known);
  return "file_" + std::to_string(index);
}

bool IsPictureName(std::string_view name) {
  const std::string_view extension = Extension(name);
  return SameTextAscii(extension, ".bmp") || SameTextAscii(extension, ".bkg");
}

std::string MemberFileName(const std::string& name) {
  return SameTextAscii(Extension(name), ".bkg") ? name + ".bmp" : name;
}

} // namespace vex
