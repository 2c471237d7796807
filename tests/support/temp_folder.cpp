// The per-test temporary folder: made under the system's temp folder with a unique name.
#include "temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>

namespace vextest {

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

void TempFolderTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::random_device random;
  std::string name = std::string("vex_") + info->test_suite_name() + "_" + info->name() + "_" +
                     std::to_string(random());
  for (char& c : name) // parameterised tests carry "/" in their names
    if (c == '/' || c == '<' || c == '>' || c == ',' || c == ' ')
      c = '_';
  folder_ = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(folder_);
}

void TempFolderTest::TearDown() {
  std::error_code ignored;
  // Tests may leave read-only folders behind; give the owner its rights back first.
  for (auto it = std::filesystem::recursive_directory_iterator(folder_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(folder_, ignored);
}

} // namespace vextest
