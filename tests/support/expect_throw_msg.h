// The one check of a failure: the action raises exactly the class given, with exactly the
// message and subject given (no subject unless one is given). All count: a right message from
// the wrong class is a different error to the user's scripts and to the entry's handler, and
// the subject is what tells the user which member or file failed.
#pragma once

#include "exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <typeinfo>

namespace vextest {

// For tables whose rows hold the expected class as a type_info.
inline void ExpectRaised(const std::function<void()>& action, const std::type_info& type,
                         const std::string& message, const std::string& subject = "") {
  try {
    action();
  } catch (const vex::Exception& e) {
    EXPECT_TRUE(typeid(e) == type) << "raised " << typeid(e).name() << ": " << e.what();
    EXPECT_EQ(e.Message(), message);
    EXPECT_EQ(e.Subject(), subject);
    return;
  }
  ADD_FAILURE() << "nothing was raised";
}

} // namespace vextest

// EXPECT_THROW_MSG(statement, Class, message[, subject])
#define EXPECT_THROW_MSG(statement, Class, ...)                                                    \
  do {                                                                                             \
    SCOPED_TRACE(#statement);                                                                      \
    ::vextest::ExpectRaised([&] { statement; }, typeid(Class), __VA_ARGS__);                       \
  } while (false)
