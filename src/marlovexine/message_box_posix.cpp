// The message boxes of the tool on POSIX: a console has no boxes, so each is written as lines
// to standard output, or to standard error for an error.
#include "message_box.h"

#include "console.h"

namespace vex {

namespace {

void WriteToConsole(const std::string& text, TStandardStream stream) {
  const std::string line = ConsoleText(text) + "\n";
  if (stream == TStandardStream::Output)
    WriteStandardOutput(line);
  else
    WriteStandardError(line);
}

} // namespace

// The caption is the window's title; a console has none.
void ShowError(const std::string& text, const std::string& /*caption*/) {
  WriteToConsole(text, TStandardStream::Error);
}

void ShowInformation(const std::string& text, const std::string& /*caption*/) {
  WriteToConsole(text, TStandardStream::Output);
}

} // namespace vex
