// The tool's arguments. Splitting a Windows command line (blanks, quotes without escapes,
// empty arguments, the program token, double-byte characters) is pure, so it runs everywhere;
// ProgramArguments takes the running process's own arguments.
#include "command_line.h"
#include "lead_bytes.h"

#include <gtest/gtest.h>

#include <optional>

using namespace vex;

namespace {

using vextest::IsTestLeadByte;

using Args = std::vector<std::string>;

// The program token follows the same rules as the arguments, and is never one of them.
TEST(SplitCommandLine, SeparatorsQuotesEmptyArgumentsAndTheProgramToken) {
  const struct {
    const char* line;
    Args args;
    std::optional<Args> kept = {}; // what vexagg, which keeps empty arguments, sees
  } rows[] = {
      {"", {}},
      {"   ", {}},
      {"prog", {}},
      {"prog a.agg out", {"a.agg", "out"}},
      {"  prog   a.agg   out  ", {"a.agg", "out"}},
      // Every byte from 0x01 to 0x20 separates; 0x7F and up do not.
      {"prog\ta.agg\x01out\x1F\r\nz", {"a.agg", "out", "z"}},
      {"prog a\x7F\xA0\xFF", {"a\x7F\xA0\xFF"}},
      // Quotes make separators ordinary and are dropped; the token goes on after them.
      {"prog \"out dir\"", {"out dir"}},
      {"prog a\"b c\"d", {"ab cd"}},
      {"prog \"a\"\"b\"", {"ab"}},
      {"prog \"\"a", {"a"}},
      // An unclosed quote runs to the end of the line.
      {"prog \"out dir", {"out dir"}},
      {"prog a \"b c ", {"a", "b c "}},
      // No escape character: a backslash before a quote is an ordinary byte.
      {"prog a\\\"b c\"", {"a\\b c"}},
      {"prog \"C:\\dir\\\" x.agg", {"C:\\dir\\", "x.agg"}},
      // Empty arguments are not counted, wherever they stand.
      {"prog \"\" a.agg", {"a.agg"}, Args{"", "a.agg"}},
      {"prog \"\"\"\" \"\" a.agg \"\" out \"\"",
       {"a.agg", "out"},
       Args{"", "", "a.agg", "", "out", ""}},
      {"prog \"", {}, Args{""}},
      // A quoted program path with blanks is one token, as the system writes it.
      {"\"C:\\Program Files\\Marlovexine.exe\" a.agg", {"a.agg"}},
      {"C:\\Pro\"gram Fi\"les\\Marlovexine.exe a.agg out", {"a.agg", "out"}},
      // The program as typed is skipped even when it comes out empty: it is never an argument,
      // and the archive keeps its place.
      {"\"\" a.agg", {"a.agg"}},
      // A quote the program token leaves open swallows the rest of the line.
      {"\"C:\\tools\\m.exe a.agg", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(SplitCommandLine(row.line, nullptr), row.args);
    EXPECT_EQ(SplitCommandLine(row.line, nullptr, TEmptyArguments::Kept),
              row.kept.value_or(row.args));
  }
}

// The second byte of a double-byte character is never a separator or a quote. Each line is
// split with and without the double-byte rule, so every row shows that the rule is what
// makes the difference.
TEST(SplitCommandLine, DoubleByteCharactersAreTakenWhole) {
  const struct {
    const char* line;
    Args withRule;
    Args withoutRule;
  } rows[] = {
      {"prog \x83\" x\"", {"\x83\"", "x"}, {"\x83 x"}},
      {"prog \x81 b", {"\x81 b"}, {"\x81", "b"}},
      {"prog \"\x83\" b\"", {"\x83\" b"}, {"\x83", "b"}},
      {"\x83\" a.agg", {"a.agg"}, {}},
      // A trail byte that has a lead byte's value starts no character of its own.
      {"prog \x83\x83\x83\" b", {"\x83\x83\x83\"", "b"}, {"\x83\x83\x83 b"}},
      // A lead byte at the end of the line has no second byte; it is kept as it is.
      {"prog a\x83", {"a\x83"}, {"a\x83"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(SplitCommandLine(row.line, IsTestLeadByte), row.withRule);
    EXPECT_EQ(SplitCommandLine(row.line, nullptr), row.withoutRule);
  }
}

// A launcher hands on what follows its program token as it stands: quotes, empty arguments
// and blanks inside included, so the program it starts splits the arguments itself.
TEST(ArgumentsAfterProgram, TheProgramTokenAndTheBlanksAfterItGo) {
  const struct {
    const wchar_t* line;
    const wchar_t* rest;
  } rows[] = {
      {L"", L""},
      {L"  vexaggw.exe  ", L""},
      {L"vexaggw.exe gallery --open \"a b.agg\"", L"gallery --open \"a b.agg\""},
      {L"\t\"C:\\Program Files\\M\\vexaggw.exe\"\r\n list  x ", L"list  x "},
      {L"C:\\Pro\"gram Fi\"les\\w.exe a", L"a"},
      {L"\"\" a.agg", L"a.agg"},
      {L"w.exe \"\" a.agg", L"\"\" a.agg"},
      {L"w.exe\x01\x20"
       L"a\x7F",
       L"a\x7F"},
      // A quote the program token leaves open takes the rest of the line with it.
      {L"\"C:\\tools\\w.exe a.agg", L""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.line)));
    EXPECT_EQ(ArgumentsAfterProgram(row.line), std::wstring_view(row.rest));
  }
}

TEST(ProgramArguments, SkipsTheProgramAndEmptyArgumentsUnlessKept) {
  char program[] = "Marlovexine";
  char empty[] = "";
  char archive[] = "a.agg";
  char folder[] = "out dir";
  char* argv[] = {program, empty, archive, empty, folder, nullptr};
#ifdef _WIN32
  // Windows ignores argv and splits the process's real command line. The runtime's own split
  // of it (__argv) agrees for the plain options this test is started with.
  std::vector<std::string> expected;
  for (int i = 1; i < __argc; ++i)
    if (__argv[i][0] != '\0')
      expected.emplace_back(__argv[i]);
  EXPECT_EQ(ProgramArguments(5, argv, TEmptyArguments::Skipped), expected);
#else
  EXPECT_EQ(ProgramArguments(5, argv, TEmptyArguments::Skipped),
            (std::vector<std::string>{"a.agg", "out dir"}));
  EXPECT_EQ(ProgramArguments(5, argv, TEmptyArguments::Kept),
            (std::vector<std::string>{"", "a.agg", "", "out dir"}));
#endif
}

} // namespace
