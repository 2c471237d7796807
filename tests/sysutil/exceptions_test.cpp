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

} // namespace
