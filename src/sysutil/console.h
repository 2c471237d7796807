// Standard output and standard error of a console program. Both take bytes as they stand:
// "\n" ends a line on every platform, Windows included, so that scripts read one format.
// Nothing written to standard output is lost unseen: its first failure is kept, and told by
// FinishStandardOutput at the end of the run.
#pragma once

#include "exceptions.h"

#include <functional>
#include <string>
#include <string_view>

namespace vex {

// `text` with every "\r\n" (the line break of the tool's messages) written as "\n".
std::string ConsoleText(std::string_view text);

// Write the whole of `text`, a partial or interrupted (EINTR) write retried. Once a write to
// standard output has failed, nothing more is written there; a failure on standard error has
// nowhere to be told.
void WriteStandardOutput(std::string_view text);
void WriteStandardError(std::string_view text);

// The last act of a program that may have written to standard output: closes it, so that a
// failure the system reports only then is seen too, and raises EOSError "Cannot write to
// standard output. %s" with the system's text of the first write or of the close that
// failed. Does nothing when nothing was written there.
void FinishStandardOutput();

// The exit code of a run that may have written to standard output: `code` once
// FinishStandardOutput has passed; else `failure`, after `report` has told the user why.
int FinishingStandardOutput(int code, const std::function<void(const Exception&)>& report,
                            int failure);

// The OS half of the above, one per platform: writes all of `text` to standard output or
// standard error, retrying partial and interrupted writes; closes standard output. False on
// failure, the system's last error set.
enum class TStandardStream { Output, Error };
bool WriteWholeToStream(TStandardStream stream, std::string_view text);
bool CloseStandardOutput();

} // namespace vex
