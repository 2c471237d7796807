// The command-line splitting rules of the tool, over bytes of the system's ANSI code page.
#include "command_line.h"

namespace vex {

namespace {

bool IsSeparator(unsigned char c) {
  return c >= 0x01 && c <= 0x20;
}

// Reads the token that starts at `pos`, a byte that is not a separator, and leaves `pos` after
// it: on the separator that ends it, or at the end of the line.
std::string ReadToken(std::string_view line, std::size_t& pos, LeadBytePredicate isLeadByte) {
  std::string token;
  bool inQuotes = false;
  while (pos < line.size()) {
    const auto c = static_cast<unsigned char>(line[pos]);
    if (!inQuotes && IsSeparator(c))
      break;
    if (isLeadByte != nullptr && isLeadByte(c) && pos + 1 < line.size()) {
      // Both bytes of a double-byte character are text, whatever the second one's value.
      token.append(line.substr(pos, 2));
      pos += 2;
      continue;
    }
    ++pos;
    if (c == '"')
      inQuotes = !inQuotes;
    else
      token += static_cast<char>(c);
  }
  return token;
}

bool IsSeparator(wchar_t c) {
  return c >= 0x01 && c <= 0x20;
}

} // namespace

std::wstring_view ArgumentsAfterProgram(std::wstring_view line) {
  std::size_t pos = 0;
  while (pos < line.size() && IsSeparator(line[pos]))
    ++pos;
  // UTF-16 has no double-byte rule: a quote or a separator is always one.
  for (bool inQuotes = false; pos < line.size() && (inQuotes || !IsSeparator(line[pos])); ++pos)
    if (line[pos] == L'"')
      inQuotes = !inQuotes;
  while (pos < line.size() && IsSeparator(line[pos]))
    ++pos;
  return line.substr(pos);
}

std::vector<std::string> SplitCommandLine(std::string_view line, LeadBytePredicate isLeadByte,
                                          TEmptyArguments empty) {
  std::vector<std::string> args;
  bool programSeen = false;
  std::size_t pos = 0;
  for (;;) {
    while (pos < line.size() && IsSeparator(static_cast<unsigned char>(line[pos])))
      ++pos;
    if (pos == line.size())
      break;
    std::string token = ReadToken(line, pos, isLeadByte);
    if (!programSeen)
      programSeen = true;
    else if (!token.empty() || empty == TEmptyArguments::Kept)
      args.push_back(std::move(token));
  }
  return args;
}

} // namespace vex
