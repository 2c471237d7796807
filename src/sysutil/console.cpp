// The portable half of console output: the tool's "\r\n" line breaks made into the "\n" that
// scripts read on every platform, and the failure of standard output kept until the end.
#include "console.h"

#include "exceptions.h"
#include "system_error.h"

#include <cstdint>

namespace vex {

namespace {

// What became of standard output in this run; the first failure is the one to tell.
bool outputWritten = false;
bool outputFailed = false;
std::uint32_t outputError = 0;

} // namespace

std::string ConsoleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    out += text[i];
  }
  return out;
}

void WriteStandardOutput(std::string_view text) {
  if (text.empty() || outputFailed)
    return;
  outputWritten = true;
  if (!WriteWholeToStream(TStandardStream::Output, text))
    outputFailed = true, outputError = LastSystemError();
}

void WriteStandardError(std::string_view text) {
  WriteWholeToStream(TStandardStream::Error, text);
}

void FinishStandardOutput() {
  if (!outputWritten)
    return;
  outputWritten = false;
  if (!outputFailed && !CloseStandardOutput())
    outputFailed = true, outputError = LastSystemError();
  if (outputFailed)
    throw EOSError("Cannot write to standard output. " + SystemErrorText(outputError),
                   static_cast<std::int32_t>(outputError));
}

int FinishingStandardOutput(int code, const std::function<void(const Exception&)>& report,
                            int failure) {
  try {
    FinishStandardOutput();
  } catch (const Exception& e) {
    report(e);
    return failure;
  }
  return code;
}

} // namespace vex
