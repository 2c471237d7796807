// Member name patterns, as vexagg extract matches them, and the kinds names tell.
#include "member_names.h"

#include <gtest/gtest.h>

namespace {

TEST(MemberNames, PatternsMatchWholeNamesFoldingOnlyAToZ) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } rows[] = {
      {"KB.PAL", "kb.pal", true},
      {"kb.pal", "kb.pa", false},
      {"*.pal", "combat.pal", true},
      {"*.pal", "kb.pal.bak", false},
      {"k?.pal", "kb.pal", true},
      {"k?.pal", "k.pal", false},
      {"*", "", true},
      {"*a*b", "xaab", true},
      {"a*b*c", "abcbc", true},
      {"**?", "x", true},
      {"@", "`", false}, // only letters fold
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.pattern) + " " + row.name);
    EXPECT_EQ(vex::MatchesNamePattern(row.pattern, row.name), row.matches);
  }
}

TEST(MemberNames, KindsGoByTheLastExtensionFoldingOnlyAToZ) {
  EXPECT_TRUE(vex::IsPictureName("boat.Bkg"));
  EXPECT_TRUE(vex::IsPaletteName("KB.Pal"));
  EXPECT_FALSE(vex::IsPaletteName("kb.pal.bak") || vex::IsPictureName("kb.pal"));
}

} // namespace
