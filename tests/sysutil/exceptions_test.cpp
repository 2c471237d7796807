// The assertion failure's message, which must not depend on where the tree was built.
#include "exceptions.h"
#include "expect_throw_msg.h"

#include <gtest/gtest.h>

using namespace vex;

namespace {

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
