// Files and folders against the real file system of a fresh temporary folder: folder making,
// whole-buffer output and its errors, open failures and positioned reads, and where the files
// that ship with the tool are found from the executable's folder.
#include "app_folder.h"
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "files.h"
#include "platform_errors.h"
#include "replacing_file.h"
#include "system_error.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;
using namespace vex;
using namespace vextest;

namespace {

class FileOutputTest : public TempFolderTest {};

TEST_F(FileOutputTest, ForceFolderMakesMissingLevelsOnly) {
  EXPECT_TRUE(ForceFolder(""));
  EXPECT_TRUE(ForceFolder(FolderString()));
  EXPECT_TRUE(ForceFolder(Folder().string()));
  const fs::path deep = Folder() / "a" / "b" / "c";
  EXPECT_TRUE(ForceFolder(deep.string() + "/"));
  EXPECT_TRUE(fs::is_directory(deep));
  WriteWholeFile(Folder() / "file", {1});
  SetLastSystemError(0);
  EXPECT_FALSE(ForceFolder((Folder() / "file").string()));
  EXPECT_FALSE(ForceFolder((Folder() / "file" / "sub").string()));
  // The code is the one left by the folder creation that failed.
  EXPECT_EQ(LastSystemError(), static_cast<std::uint32_t>(AlreadyExists));
}

TEST_F(FileOutputTest, SaveBufferCreatesReplacesAndEmpties) {
  const fs::path target = Folder() / "sub" / "name.dat";
  SaveBufferToFile(target.string(), {1, 2, 3, 4, 5});
  EXPECT_EQ(ReadWholeFile(target), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
  SaveBufferToFile(target.string(), {9});
  EXPECT_EQ(ReadWholeFile(target), (std::vector<std::uint8_t>{9}));
  SaveBufferToFile(target.string(), {});
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(fs::file_size(target), 0u);
}

TEST_F(FileOutputTest, SaveBufferRaisesTheSystemError) {
  WriteWholeFile(Folder() / "file", {1});
  // The folder cannot be made: the error is the failed folder creation's.
  EXPECT_THROW_MSG(SaveBufferToFile((Folder() / "file" / "x.bin").string(), {1}), EOSError,
                   OsMessage(AlreadyExists));
  EXPECT_EQ(ReadWholeFile(Folder() / "file"), (std::vector<std::uint8_t>{1}));
  // A folder stands where the file must go.
  fs::create_directory(Folder() / "taken");
  EXPECT_THROW_MSG(SaveBufferToFile((Folder() / "taken").string(), {1}), EOSError,
                   OsMessage(IsAFolder));
  EXPECT_TRUE(fs::is_directory(Folder() / "taken"));
  // A file left unfinished (a failed write, an exception on its way) is taken away, and the
  // name keeps its old file; no temporary file stays after either failure.
  {
    TReplacingFile unfinished((Folder() / "file").string(), TDurability::OnDisk);
    ASSERT_TRUE(unfinished.IsOpen());
    unfinished.File().Write("new", 3);
  }
  EXPECT_EQ(ReadWholeFile(Folder() / "file"), (std::vector<std::uint8_t>{1}));
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), {}), 2);
}

TEST_F(FileOutputTest, OpenFailuresNameTheAbsolutePath) {
  const CurrentFolderGuard inFolder(Folder());
  // The absolute paths are written with the platform's own delimiter, as the system reports
  // them ("/" counts as "\" on Windows).
  EXPECT_THROW_MSG(
      TFile::OpenOrRaise("./missing/../none.agg", TOpenMode::ReadExclusive), EFOpenError,
      "Cannot open file \"" + (Folder() / "none.agg").string() + "\". " + OsText(NoSuchFile));
  EXPECT_THROW_MSG(TFile::OpenOrRaise(".", TOpenMode::ReadShareRead), EFOpenError,
                   "Cannot open file \"" + Folder().string() + "\". " + OsText(IsAFolder));
  EXPECT_THROW_MSG(TFile::OpenOrRaise("no/such/x.bmp", TOpenMode::CreateNew), EFCreateError,
                   "Cannot create file \"" + (Folder() / "no" / "such" / "x.bmp").string() +
                       "\". " + OsText(NoSuchPath));
}

TEST_F(FileOutputTest, ReadsAtOffsetsAndStopsAtTheEnd) {
  WriteWholeFile(Folder() / "f", {10, 11, 12, 13});
  const TFile file = TFile::OpenOrRaise((Folder() / "f").string(), TOpenMode::ReadExclusive);
  EXPECT_EQ(file.Size(), 4u);
  std::uint8_t got[4] = {};
  file.ReadExactAt(1, got, 3);
  EXPECT_EQ(got[0], 11);
  EXPECT_EQ(got[2], 13);
  EXPECT_EQ(file.ReadAt(2, got, 4), 2u);
  EXPECT_THROW_MSG(file.ReadExactAt(2, got, 3), EReadError, "Stream read error");
  EXPECT_THROW_MSG(file.ReadExactAt(1ull << 62, got, 1), EReadError, "Stream read error");
}

// One pass over a folder tells each kind of entry, links unfollowed; only a regular file has
// a size. Links and FIFOs are POSIX rows: Windows has no FIFO, and Wine shows no links.
TEST_F(FileOutputTest, ListsAFolderWithoutFollowingLinks) {
  WriteWholeFile(Folder() / "file", {1, 2, 3});
  fs::create_directory(Folder() / "folder");
  std::vector<std::pair<std::string, TEntryKind>> expected = {{"file", TEntryKind::File},
                                                              {"folder", TEntryKind::Folder}};
#ifndef _WIN32
  fs::create_symlink("file", Folder() / "link");
  ASSERT_EQ(::mkfifo((Folder() / "fifo").c_str(), 0600), 0);
  expected.insert(expected.end(), {{"fifo", TEntryKind::Other}, {"link", TEntryKind::Link}});
  EXPECT_EQ(RegularFileSize((Folder() / "link").string()), std::nullopt);
#endif
  std::vector<std::pair<std::string, TEntryKind>> listed;
  for (const TFolderEntry& entry : ListFolder(FolderString()))
    listed.emplace_back(entry.name, entry.kind);
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(RegularFileSize((Folder() / "file").string()), 3u);
  EXPECT_EQ(RegularFileSize((Folder() / "folder").string()), std::nullopt);
  EXPECT_EQ(RegularFileSize((Folder() / "none").string()), std::nullopt);
  EXPECT_THROW_MSG(ListFolder((Folder() / "none").string()), EOSError, OsMessage(NoSuchPath));
}

class ShippedFileTest : public vextest::TempFolderTest {};

TEST_F(ShippedFileTest, IsLookedForBesideTheExecutableFirst) {
  const std::string bin = FolderString() + "bin/";
  const struct {
    const char* made; // before the lookup: a folder, which does as well as a file
    const char* found;
  } rows[] = {{"bin", "bin/T.bmp"}, // found nowhere: the open's error names the first place
              {"share/T.bmp", "bin/../share/T.bmp"},
              {"user/T.bmp", "user/T.bmp"}, // the user's own comes before the installed one
              {"bin/T.bmp", "bin/T.bmp"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.made);
    fs::create_directories(Folder() / row.made);
    EXPECT_EQ(LocateShippedFile(bin, "T.bmp", {FolderString() + "user/", bin + "../share/"}),
              FolderString() + row.found);
  }
}

#ifndef _WIN32
// The user's folder follows XDG_CONFIG_HOME when it is absolute (the end-to-end runs set
// one), else HOME, and never the data folder, which an install under ~/.local fills; the
// installation's folder comes after it.
TEST(DataFolders, TheUsersFolderComesBeforeTheInstalledOne) {
  const struct {
    const char* configHome;
    const char* home;
    std::vector<std::string> folders;
  } rows[] = {
      {"/c", "/h/", {"/c/marlovexine/", "/app/../share/marlovexine/"}},
      {"relative", "/h", {"/h/.config/marlovexine/", "/app/../share/marlovexine/"}},
      {nullptr, nullptr, {"/app/../share/marlovexine/"}},
  };
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  setenv("XDG_DATA_HOME", "/d", 1);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.folders[0]);
    row.configHome ? setenv("XDG_CONFIG_HOME", row.configHome, 1) : unsetenv("XDG_CONFIG_HOME");
    row.home ? setenv("HOME", row.home, 1) : unsetenv("HOME");
    EXPECT_EQ(DataFolders("/app/"), row.folders);
  }
  setenv("HOME", home.c_str(), 1);
}
#endif

} // namespace
