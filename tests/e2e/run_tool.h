// Runs the real executable as a user would, and collects what it printed and its exit code.
#pragma once

#include <string>
#include <vector>

namespace vextest {

struct ToolRun {
  int exitCode = -1;
  std::string out; // standard output
  std::string err; // standard error
};

// Runs `exe` with `args` (passed as they stand, empty ones included) in the folder `cwd`.
ToolRun RunTool(const std::string& exe, const std::vector<std::string>& args,
                const std::string& cwd);

} // namespace vextest

#include "temp_folder.h"

#include <filesystem>

namespace vextest {

// Each test runs its own copy of the executable (MARLOVEXINE_EXE), in a folder beside its
// temporary folder, so that it decides what lies beside the tool: the palette template or none.
class ToolCopyTest : public TempFolderTest {
protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    bin_ = Folder().string() + "_bin";
    std::filesystem::create_directories(bin_);
    std::filesystem::copy_file(MARLOVEXINE_EXE, Exe());
  }
  void TearDown() override {
    std::filesystem::remove_all(bin_);
    TempFolderTest::TearDown();
  }
  std::filesystem::path Exe() const { return bin_ / "Marlovexine"; }
  std::filesystem::path TemplatePath() const { return bin_ / "TivPalette.bmp"; }
  // Runs the copy in `cwd`, the temporary folder by default.
  ToolRun Run(const std::vector<std::string>& args, const std::filesystem::path& cwd = {}) {
    return RunTool(Exe().string(), args, (cwd.empty() ? Folder() : cwd).string());
  }

private:
  std::filesystem::path bin_;
};

} // namespace vextest
