// Where the files that ship with the tool are found from the executable's folder, against the
// real file system of a fresh temporary folder.
#include "app_folder.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace vex;

namespace {

class ShippedFileTest : public vextest::TempFolderTest {};

TEST_F(ShippedFileTest, IsLookedForBesideTheExecutableFirst) {
  const std::string bin = FolderString() + "bin/";
  const struct {
    const char* made; // before the lookup: a folder, which does as well as a file
    const char* found;
  } rows[] = {{"bin", "T.bmp"}, // found nowhere: the open's error names the first place
              {"share/T.bmp", "../share/T.bmp"},
              {"bin/T.bmp", "T.bmp"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.made);
    fs::create_directories(Folder() / row.made);
    EXPECT_EQ(LocateShippedFile(bin, "T.bmp", {"../share/"}), bin + row.found);
  }
}

} // namespace
