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
  const struct {
    const char* name;
    bool picture, palette;
  } rows[] = {{"boat.Bkg", true, false}, {"KB.Pal", false, true}, {"kb.pal.bak", false, false}};
  for (const auto& row : rows) {
    EXPECT_EQ(vex::IsPictureName(row.name), row.picture) << row.name;
    EXPECT_EQ(vex::IsPaletteName(row.name), row.palette) << row.name;
  }
}

} // namespace
