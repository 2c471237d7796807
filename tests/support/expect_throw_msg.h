// The one check of a failure: the action raises exactly the class given, with exactly the
// message given. Both count: a right message from the wrong class is a different error to the
// user's scripts and to the entry's handler.
#pragma once

#include "exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <typeinfo>

namespace vextest {

// For tables whose rows hold the expected class as a type_info.
inline void ExpectRaised(const std::function<void()>& action, const std::type_info& type,
                         const std::string& message) {
  try {
    action();
  } catch (const vex::Exception& e) {
    EXPECT_TRUE(typeid(e) == type) << "raised " << typeid(e).name() << ": " << e.what();
    EXPECT_EQ(e.Message(), message);
    return;
  }
  ADD_FAILURE() << "nothing was raised";
}

} // namespace vextest

#define EXPECT_THROW_MSG(statement, Class, message)                                                \
  do {                                                                                             \
    SCOPED_TRACE(#statement);                                                                      \
    ::vextest::ExpectRaised([&] { statement; }, typeid(Class), message);                           \
  } while (false)
