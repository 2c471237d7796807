// The kept hostile inputs of fuzz/regressions, replayed through the very per-input checks the
// fuzz targets run, here without libFuzzer: none may show a fault beyond a clear message, and
// each must give the message and member that fuzz/regressions/outcomes.txt records for it.
#include "fuzz_workspace.h"
#include "input_checks.h"
#include "pixel_format_assertion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path Regressions = VEX_FUZZ_REGRESSIONS;

struct TRecordedOutcome {
  std::string message;
  std::string member;
};

// The next field of an outcomes.txt line, trimmed; "-" stands for none, and an assertion's
// "line N" for the line that the test kit keeps.
std::string NextField(std::istream& line) {
  std::string s;
  std::getline(line, s, '|');
  const auto first = s.find_first_not_of(' ');
  s = first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
  if (s == "Assertion failure (vex_graphics.cpp, line N)")
    return vextest::PixelFormatAssertion;
  return s == "-" ? "" : s;
}

// "input | message | member" lines; "#" starts a comment line.
std::map<std::string, TRecordedOutcome> ReadOutcomes() {
  std::ifstream in(Regressions / "outcomes.txt");
  EXPECT_TRUE(in.good()) << "cannot read outcomes.txt";
  std::map<std::string, TRecordedOutcome> outcomes;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    const std::string input = NextField(fields);
    if (input.empty() || input[0] == '#')
      continue;
    const std::string message = NextField(fields);
    outcomes[input] = {message, NextField(fields)};
  }
  return outcomes;
}

TEST(FuzzRegressionTest, KeptInputsGiveTheirRecordedOutcome) {
  const std::map<std::string, TRecordedOutcome> recorded = ReadOutcomes();
  std::size_t replayed = 0;
  const std::map<std::string, decltype(&vexfuzz::CheckUnpackInput)> checks = {
      {"unpack", vexfuzz::CheckUnpackInput},
      {"template", vexfuzz::CheckTemplateInput},
      {"palette", vexfuzz::CheckPaletteInput}};
  for (const auto& [target, check] : checks) {
    const std::set<fs::path> inputs(fs::directory_iterator(Regressions / target), {});
    for (const fs::path& path : inputs) {
      const std::string name = target + "/" + path.filename().string();
      SCOPED_TRACE(name);
      const std::string input = vexfuzz::ReadFileBytes(path);
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
      const vexfuzz::TInputOutcome outcome = check(bytes, input.size());
      EXPECT_EQ(outcome.problem, "");
      const auto it = recorded.find(name);
      const TRecordedOutcome expected =
          it != recorded.end() ? it->second : TRecordedOutcome{"(not in outcomes.txt)", ""};
      EXPECT_EQ(outcome.message, expected.message);
      EXPECT_EQ(outcome.member, expected.member);
      replayed += it != recorded.end() ? 1 : 0;
    }
  }
  // Every recorded outcome has its input: none was lost or renamed.
  EXPECT_EQ(replayed, recorded.size());
}

// The escape check is what makes a write outside the output folder a finding: a file beside
// the output folder must be reported, even after an input that went through.
TEST(FuzzRegressionTest, AFileBesideTheOutputFolderIsReported) {
  const std::vector<std::uint8_t> noMembers = {0, 0};
  EXPECT_EQ(vexfuzz::CheckUnpackInput(noMembers.data(), noMembers.size()).problem, "");
  const fs::path stray = vexfuzz::TFuzzWorkspace::Get().OutFolder().parent_path() / "stray";
  std::ofstream(stray) << "x";
  const vexfuzz::TInputOutcome outcome =
      vexfuzz::CheckUnpackInput(noMembers.data(), noMembers.size());
  fs::remove(stray);
  EXPECT_EQ(outcome.message, "");
  EXPECT_NE(outcome.problem.find(stray.string()), std::string::npos) << outcome.problem;
}

} // namespace
