// A fresh temporary folder per test, removed afterwards, plus small file helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vextest {

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Makes `folder` the current folder until the guard goes, whatever way the test ends.
class CurrentFolderGuard {
public:
  explicit CurrentFolderGuard(const std::filesystem::path& folder)
      : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentFolderGuard() {
    std::error_code ignored;
    std::filesystem::current_path(saved_, ignored);
  }
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

private:
  std::filesystem::path saved_;
};

class TempFolderTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // The folder, as a path and as a string ending with the platform's delimiter.
  const std::filesystem::path& Folder() const { return folder_; }
  std::string FolderString() const {
    return folder_.string() + static_cast<char>(std::filesystem::path::preferred_separator);
  }

private:
  std::filesystem::path folder_;
};

} // namespace vextest
