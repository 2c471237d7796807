// What the user sees on POSIX: standard output and standard error, flushed at once, and the
// message boxes of the tool written to them as lines, since a console has no boxes.
#include "console.h"
#include "message_box.h"

#include <cstdio>

namespace vex {

namespace {

void WriteToStream(std::string_view text, std::FILE* stream) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

void WriteToConsole(const std::string& text, std::FILE* stream) {
  WriteToStream(ConsoleText(text) + "\n", stream);
}

} // namespace

void WriteStandardOutput(std::string_view text) {
  WriteToStream(text, stdout);
}

void WriteStandardError(std::string_view text) {
  WriteToStream(text, stderr);
}

// The caption is the window's title; a console has none.
void ShowError(const std::string& text, const std::string& /*caption*/) {
  WriteToConsole(text, stderr);
}

void ShowInformation(const std::string& text, const std::string& /*caption*/) {
  WriteToConsole(text, stdout);
}

} // namespace vex
