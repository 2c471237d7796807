// EXPECT_THROW_MSG: the statement raises exactly the class given, with exactly the message
// given. Both count: a right message from the wrong class is a different error to the user's
// scripts and to the entry's handler.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#define EXPECT_THROW_MSG(statement, Class, message)                                                \
  do {                                                                                             \
    try {                                                                                          \
      statement;                                                                                   \
      ADD_FAILURE() << "no exception from " #statement;                                            \
    } catch (const Class& e) {                                                                     \
      EXPECT_EQ(typeid(e).name(), std::string(typeid(Class).name()));                              \
      EXPECT_EQ(std::string(e.what()), std::string(message));                                      \
    }                                                                                              \
  } while (false)
