// The known-name table: the right names in the right slots, and nothing else.
#include "known_names.h"

#include <gtest/gtest.h>

#include <cstdio>

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

// The whole table against the published list of names and their keys (the four fixed keys
// included): FNV-1a 64 over one line "KKKK name\n" per filled slot in key order, the key in
// upper-case hex. Digest and count were worked out from that list, not from this program, so
// a letter wrong in one name, or a name in the wrong slot, changes them.
TEST(KnownNames, EverySlotHoldsThePublishedNameForItsKey) {
  std::uint64_t digest = 0xCBF29CE484222325; // the FNV-1a offset basis
  std::size_t filled = 0;
  for (std::uint32_t key = 0; key <= 0xFFFF; ++key) {
    const std::string_view name = LookupKnownName(static_cast<std::uint16_t>(key));
    if (name.empty())
      continue;
    ++filled;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X ", static_cast<unsigned>(key));
    for (const char c : std::string(hex) + std::string(name) + "\n")
      digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001B3; // the FNV prime
  }
  EXPECT_EQ(filled, 925u);
  EXPECT_EQ(digest, 0x1BFFD6280668D096u);
}

} // namespace
