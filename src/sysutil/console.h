// Standard output and standard error of a console program. Both take bytes as they stand:
// "\n" ends a line on every platform, Windows included, so that scripts read one format.
#pragma once

#include <string>
#include <string_view>

namespace vex {

// `text` with every "\r\n" (the line break of the tool's messages) written as "\n".
std::string ConsoleText(std::string_view text);

void WriteStandardOutput(std::string_view text);
void WriteStandardError(std::string_view text);

} // namespace vex
