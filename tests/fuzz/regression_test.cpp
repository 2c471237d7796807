// The kept hostile inputs of fuzz/regressions, replayed through the very per-input checks the
// fuzz targets run, here without libFuzzer: none may show a fault beyond a clear message, and
// each must give the message and member that fuzz/regressions/outcomes.txt records for it.
#include "fuzz_workspace.h"
#include "input_checks.h"
#include "pixel_format_assertion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path Regressions = VEX_FUZZ_REGRESSIONS;

struct TRecordedOutcome {
  std::string message;
  std::string member;
};

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// "input | message | member" lines; "-" is none; "#" starts a comment line.
std::map<std::string, TRecordedOutcome> ReadOutcomes() {
  std::ifstream in(Regressions / "outcomes.txt");
  EXPECT_TRUE(in.good()) << "cannot read outcomes.txt";
  std::map<std::string, TRecordedOutcome> outcomes;
  for (std::string line; std::getline(in, line);) {
    if (Trimmed(line).empty() || line[0] == '#')
      continue;
    const auto bar1 = line.find('|'), bar2 = line.find('|', bar1 + 1);
    EXPECT_NE(bar2, std::string::npos) << "bad line: " << line;
    if (bar2 == std::string::npos)
      continue;
    auto field = [](const std::string& s) { return s == "-" ? std::string() : s; };
    outcomes[Trimmed(line.substr(0, bar1))] = {
        field(Trimmed(line.substr(bar1 + 1, bar2 - bar1 - 1))),
        field(Trimmed(line.substr(bar2 + 1)))};
  }
  return outcomes;
}

// outcomes.txt writes the assertion's line as N: the test kit keeps the number.
std::string Recorded(const std::string& message) {
  return message == "Assertion failure (vex_graphics.cpp, line N)" ? vextest::PixelFormatAssertion
                                                                   : message;
}

std::vector<std::uint8_t> ReadInput(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzRegressionTest, KeptInputsGiveTheirRecordedOutcome) {
  const std::map<std::string, TRecordedOutcome> recorded = ReadOutcomes();
  std::size_t replayed = 0;
  for (const std::string target : {"unpack", "template"}) {
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(Regressions / target))
      inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& path : inputs) {
      const std::string name = target + "/" + path.filename().string();
      SCOPED_TRACE(name);
      const std::vector<std::uint8_t> bytes = ReadInput(path);
      const vexfuzz::TInputOutcome outcome =
          target == "unpack" ? vexfuzz::CheckUnpackInput(bytes.data(), bytes.size())
                             : vexfuzz::CheckTemplateInput(bytes.data(), bytes.size());
      EXPECT_EQ(outcome.problem, "");
      const auto expected = recorded.find(name);
      if (expected == recorded.end()) {
        ADD_FAILURE() << "no outcome recorded in outcomes.txt; it gave \"" << outcome.message
                      << "\" at \"" << outcome.member << "\"";
        continue;
      }
      EXPECT_EQ(outcome.message, Recorded(expected->second.message));
      EXPECT_EQ(outcome.member, expected->second.member);
      ++replayed;
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
