// The desktop's opener on POSIX, played by scripts of the test's own found first on PATH: the
// page goes to it as one argument, and a failure to start it or its failure is raised.
#include "expect_throw_msg.h"
#include "open_in_browser.h"
#include "temp_folder.h"

#include <cstdlib>
#include <fstream>

using namespace vex;
using namespace vextest;
namespace fs = std::filesystem;

namespace {

TEST_F(TempFolderTest, OpenInBrowserHandsThePageOverAndTellsFailures) {
  const struct {
    const char* script;  // the opener's body, or none at all
    const char* message; // after the opener's name ("Cannot start " before it when it is missing)
  } rows[] = {
      {"printf '%s|' \"$#\" \"$1\" >\"$0.got\"", ""},
      {"exit 3", " failed with exit code 3"},
      {"kill -TERM $$", " was ended by signal 15"},
      {nullptr, ". No such file or directory"},
  };
  const std::string savedPath = std::getenv("PATH");
  setenv("PATH", Folder().c_str(), 1);
  const fs::path opener = Folder() / PageOpener;
  const std::string page = "/a b/it's \"here\".html";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    fs::remove(opener);
    if (row.script != nullptr) {
      std::ofstream(opener) << "#!/bin/sh\n" << row.script << "\n";
      fs::permissions(opener, fs::perms::owner_all);
    }
    if (row.message[0] == '\0') {
      OpenInBrowser(page);
      std::ifstream got(opener.string() + ".got");
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(got), {}), "1|" + page + "|");
    } else
      EXPECT_THROW_MSG(OpenInBrowser(page), EOSError,
                       (row.script ? "" : "Cannot start ") + std::string(PageOpener) + row.message);
  }
  setenv("PATH", savedPath.c_str(), 1);
}

} // namespace
