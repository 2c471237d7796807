// The tool's arguments. Splitting a Windows command line is pure, so that every platform builds
// and tests it; only the Windows half of the OS layer feeds it a real command line.
#pragma once

#include "paths.h"

#include <string>
#include <string_view>
#include <vector>

namespace vex {

// What becomes of an argument that is empty: Marlovexine skips it, as it always did (a pair of
// quotes is no archive); vexagg keeps it, so that an empty path is refused rather than the
// arguments after it taking its place.
enum class TEmptyArguments { Skipped, Kept };

// The arguments in `line` after the program token, in order, empty ones left out or kept as
// `empty` says. Tokens are
// separated by runs of bytes 0x01..0x20. A double quote opens a run, ending at the next double
// quote or at the end of the line, in which separators are ordinary; the quotes themselves are
// dropped and the token goes on after the closing one, so a"b c"d is the one token ab cd.
// There is no escape character: a backslash before a quote is an ordinary byte. A token that
// comes out empty ("") is an empty argument. A byte for which `isLeadByte` holds is taken together
// with the byte after it, which then never counts as a separator or a quote.
//
// The program token is the first token, read by the same rules (a quoted path with blanks is
// one token), and it is skipped even when it comes out empty: it is the program as typed,
// never an argument, so a launcher that writes "" in its place does not shift the archive
// into the program's place.
std::vector<std::string> SplitCommandLine(std::string_view line, LeadBytePredicate isLeadByte,
                                          TEmptyArguments empty = TEmptyArguments::Skipped);

// What follows the program token of the UTF-16 command line `line`, from the first byte of its
// first argument, verbatim: the program token read as SplitCommandLine reads it, then the
// separators after it skipped. A launcher hands its arguments on with it exactly as they came,
// so the program it starts splits them as it would have split them itself, quotes and all.
std::wstring_view ArgumentsAfterProgram(std::wstring_view line);

// Whether a first argument of "--help", "-h" or "--version" is an option rather than a path:
// true on POSIX, where programs started from a shell answer them; false on Windows, where
// every argument is a path, as it always was.
extern const bool CommandLineHasOptions;

// The program's arguments after the program itself, empty ones left out or kept as `empty`
// says. POSIX takes argv; Windows splits GetCommandLineA instead.
std::vector<std::string> ProgramArguments(int argc, char** argv, TEmptyArguments empty);

} // namespace vex
