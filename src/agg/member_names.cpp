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

bool IsPaletteName(std::string_view name) {
  return SameTextAscii(Extension(name), ".pal");
}

std::string MemberFileName(const std::string& name) {
  return SameTextAscii(Extension(name), ".bkg") ? name + ".bmp" : name;
}

std::string PngFileName(const std::string& name) {
  const std::string bitmapFile = MemberFileName(name);
  return bitmapFile.substr(0, bitmapFile.size() - 4) + ".png";
}

std::string FoldedName(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

bool MatchesNamePattern(std::string_view pattern, std::string_view name) {
  const auto same = [](char p, char n) { return p == '?' || SameTextAscii({&p, 1}, {&n, 1}); };
  // The last "*" met, and where in `name` its run would end: on a mismatch the run takes one
  // character more. Earlier stars need no second try, so the walk stays linear in practice.
  std::size_t p = 0, n = 0;
  std::size_t star = std::string_view::npos, starEnd = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      starEnd = n;
    } else if (p < pattern.size() && same(pattern[p], name[n])) {
      ++p, ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++starEnd;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

} // namespace vex
