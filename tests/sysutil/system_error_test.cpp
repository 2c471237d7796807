// The system's errors: trimming their texts, the EOSError message with its code, and raising
// it for the last error the system set; the assertion failure's message, which must not depend
// on where the tree was built, and the subject that names what failed.
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "platform_errors.h"
#include "system_error.h"

#include <gtest/gtest.h>

using namespace vex;
using namespace vextest;

namespace {

TEST(SystemErrorText, TrimsTrailingBlanksControlsAndPeriods) {
  const struct {
    const char* raw;
    const char* trimmed;
  } rows[] = {
      {"Access is denied.\r\n", "Access is denied"},
      {"Wait for it...", "Wait for it"},
      {"Tabbed.\t \x01", "Tabbed"},
      {"Caf\xE9.", "Caf\xE9"}, // a byte of 0x80 or above ends the trimming
      {"A. b", "A. b"},
      {" .\r\n", ""},
      {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.raw);
    EXPECT_EQ(TrimSystemErrorText(row.raw), row.trimmed);
  }
}

TEST(SystemErrorMessage, FormatsCodeAndText) {
  EXPECT_EQ(SystemErrorMessage(0), "A call to an OS function failed");
  EXPECT_EQ(SystemErrorMessage(AccessDenied), OsMessage(AccessDenied));
  // Large codes print as the signed values the system shows.
  EXPECT_EQ(SystemErrorMessage(0x80070005u).rfind("System Error.  Code: -2147024891.\r\n", 0), 0u);
  // A code without a text of its own: the message ends with the line break.
  EXPECT_EQ(SystemErrorMessage(CodeWithoutText),
            "System Error.  Code: 1234567.\r\n" + TextOfCodeWithoutText);
}

TEST(RaiseLastSystemError, WithoutAnErrorSaysAnOsCallFailed) {
  SetLastSystemError(0);
  EXPECT_THROW_MSG(RaiseLastSystemError(), EOSError, "A call to an OS function failed");
  SetLastSystemError(NoSuchFile);
  EXPECT_THROW_MSG(RaiseLastSystemError(), EOSError, OsMessage(NoSuchFile));
  SetLastSystemError(AccessDenied); // the code stays beside the text, for callers that act on it
  try {
    RaiseLastSystemError();
    ADD_FAILURE() << "nothing raised";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Code(), AccessDenied);
  }
}

TEST(RaiseAssertion, NamesTheBaseFileAndLine) {
  EXPECT_THROW_MSG(RaiseAssertion("/some/where/vex_graphics.cpp", 481), EAssertionFailed,
                   "Assertion failure (vex_graphics.cpp, line 481)");
}

// The loop that knows a member or file names it; a subject set closer to the fault stays, and
// memory running out becomes the tool's own failure, named too.
TEST(Concerning, NamesTheSubjectClosestToTheFault) {
  EXPECT_EQ(Concerning("a", [] { return 7; }), 7);
  EXPECT_THROW_MSG(Concerning("member", [] { throw EReadError(); }), EReadError,
                   "Stream read error", "member");
  EXPECT_THROW_MSG(Concerning("member", [] { Concerning("out.agg", [] { throw EWriteError(); }); }),
                   EWriteError, "Stream write error", "out.agg");
  EXPECT_THROW_MSG(Concerning("big.bmp", [] { throw std::bad_alloc(); }), EOutOfMemory,
                   "Out of memory", "big.bmp");
}

} // namespace
