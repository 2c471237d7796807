// The known-name table: the right names in the right slots, and nothing else.
#include "known_names.h"

#include <gtest/gtest.h>

#include <set>

using namespace vex;

namespace {

TEST(NameKey, WorkedExampleAndCaseFolding) {
  EXPECT_EQ(NameKey("kb.pal"), 0xC848);
  EXPECT_EQ(NameKey("k"), 0xFFB5); // the first step of the worked example
  EXPECT_EQ(NameKey("bordedit.BMP"), 0xBB8C);
  EXPECT_EQ(NameKey("BORDEDIT.bmp"), 0xBB8C);
  EXPECT_EQ(NameKey(""), 0);
  // Names that differ in the digit before the "." lie 16 apart.
  EXPECT_EQ(NameKey("overban0.bmp"), 0x743F);
  EXPECT_EQ(NameKey("overban3.bmp"), 0x740F);
  // Only a to z fold: "{" (0x7B) is not "[" (0x5B).
  EXPECT_NE(NameKey("{"), NameKey("["));
}

TEST(KnownNames, SlotsAfterFilling) {
  const struct {
    std::uint16_t key;
    const char* name;
  } rows[] = {
      {0xC848, "kb.pal"},
      {0x925A, "overmain.bmp"},
      {0xEFD5, "WINCE00.82M"},
      {0xBB8C, "bordedit.BMP"},
      {0x0000, ""},
      {0xFFFF, ""},
      {0x5837, "file_14.bin"},
      {0xE0EB, ""},
      {0x443A, "file_29.icn"},
      {0xF9B6, "file_148.bmp"},
      {0x2FD7, "file_278.bin"},
      {0x0092, "mtn_d5.tod"},
      {0xFF36, "artifact.icn"},
      {0x0091, ""},
      {0xFF37, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(LookupKnownName(row.key), row.name);
  }
}

TEST(KnownNames, HoldsEveryListedNameOnceWithoutCopies) {
  std::size_t filled = 0;
  std::set<const char*> storage;
  for (const std::string_view slot : KnownNames()) {
    if (!slot.empty()) {
      ++filled;
      storage.insert(slot.data());
    }
  }
  EXPECT_EQ(filled, KnownNameCount); // no two names share a slot
  std::size_t lowerBmp = 0;
  for (const std::string_view name : KnownNameList()) {
    // Each slot refers to the constant text itself: filling copied nothing.
    EXPECT_EQ(storage.count(name.data()), 1u) << name;
    const std::string_view ext = name.substr(name.size() - 4);
    lowerBmp += (ext == ".bmp" || ext == ".BMP") ? 1 : 0;
  }
  EXPECT_EQ(lowerBmp, 199u);
}

} // namespace
