// The OS layer: error texts, path rules (with the double-byte rule, pure, on every platform),
// folder making and whole-buffer file output, each against the real file system of a fresh
// temporary folder.
#include "app_folder.h"
#include "command_line.h"
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "files.h"
#include "lead_bytes.h"
#include "paths.h"
#include "platform_errors.h"
#include "system_error.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using namespace vex;
using namespace vextest;

namespace {

TEST(SystemErrorText, TrimsTrailingBlanksControlsAndPeriods) {
  const struct {
    const char* raw;
    const char* trimmed;
  } rows[] = {
      {"Access is denied.\r\n", "Access is denied"},
      {"Wait for it...", "Wait for it"},
      {"Tabbed.\t \x01", "Tabbed"},
      {"Caf\xE9.", "Caf\xE9"}, // a byte of 0x80 or above ends the trimming
      {"A. b", "A. b"},
      {" .\r\n", ""},
      {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.raw);
    EXPECT_EQ(TrimSystemErrorText(row.raw), row.trimmed);
  }
}

TEST(SystemErrorMessage, FormatsCodeAndText) {
  EXPECT_EQ(SystemErrorMessage(0), "A call to an OS function failed");
  EXPECT_EQ(SystemErrorMessage(AccessDenied), OsMessage(AccessDenied));
  // Large codes print as the signed values the system shows.
  EXPECT_EQ(SystemErrorMessage(0x80070005u).rfind("System Error.  Code: -2147024891.\r\n", 0), 0u);
  // A code without a text of its own: the message ends with the line break.
  EXPECT_EQ(SystemErrorMessage(CodeWithoutText),
            "System Error.  Code: 1234567.\r\n" + TextOfCodeWithoutText);
}

TEST(RaiseLastSystemError, WithoutAnErrorSaysAnOsCallFailed) {
  SetLastSystemError(0);
  EXPECT_THROW_MSG(RaiseLastSystemError(), EOSError, "A call to an OS function failed");
  SetLastSystemError(NoSuchFile);
  EXPECT_THROW_MSG(RaiseLastSystemError(), EOSError, OsMessage(NoSuchFile));
}

TEST(RaiseAssertion, NamesTheBaseFileAndLine) {
  EXPECT_THROW_MSG(RaiseAssertion("/some/where/vex_graphics.cpp", 481), EAssertionFailed,
                   "Assertion failure (vex_graphics.cpp, line 481)");
}

const TPathSyntax PosixSyntax{"/", '/', nullptr};
const TPathSyntax WindowsSyntax{"\\:", '\\', IsTestLeadByte};

// On Windows 0x95 0x5C and 0x83 0x5C are characters of code page 932 whose second byte has the
// value of "\"; 0x83 0x83 is one whose second byte has a lead byte's value. A folder gets its
// "\" unless it ends with a real one: ":" and "/" do not count.
TEST(PathRules, FolderPartExtensionAndTrailingDelimiter) {
  const struct {
    const TPathSyntax* syntax;
    std::string path;
    const char* folder;
    std::string ext; // RemoveFileExt leaves the path without it
    bool endsWithDelimiter;
    const char* asFolder = nullptr; // with its delimiter, where the row says
  } rows[] = {
      {&PosixSyntax, "games/data.agg", "games/", ".agg", false},
      {&PosixSyntax, "a.b/data", "a.b/", "", false},
      {&PosixSyntax, ".agg", "", ".agg", false},
      {&PosixSyntax, "dir\\x.y:z", "", ".y:z", false, "dir\\x.y:z/"},
      {&PosixSyntax, "/", "/", "", true, "/"},
      {&PosixSyntax, "out/", "out/", "", true},
      {&PosixSyntax, "", "", "", false},
      {&WindowsSyntax, "C:\\games\\data.agg", "C:\\games\\", ".agg", false},
      {&WindowsSyntax, "C:data.agg", "C:", ".agg", false},
      {&WindowsSyntax, "a.b\\data", "a.b\\", "", false},
      {&WindowsSyntax, "out/x.agg", "", ".agg", false},
      {&WindowsSyntax, "out\\", "out\\", "", true, "out\\"},
      {&WindowsSyntax, "out/", "", "", false, "out/\\"},
      // A drive alone is its current folder; as the output folder it is the drive's root.
      {&WindowsSyntax, "a:", "a:", "", true, "a:\\"},
      // The second byte of a double-byte character is no delimiter...
      {&WindowsSyntax, "\x83\x5C.agg", "", ".agg", false},
      {&WindowsSyntax, "d\\\x83\x5C", "d\\", "", false},
      {&WindowsSyntax,
       "C:\\\x95\x5C\\\x83\x5C"
       "file.bin",
       "C:\\\x95\x5C\\", ".bin", false},
      {&WindowsSyntax, "\x95\x5C\\", "\x95\x5C\\", "", true},
      {&WindowsSyntax, "\x95\x5C", "", "", false, "\x95\x5C\\"},
      {&WindowsSyntax, "a\x83:", "", "", false},
      {&WindowsSyntax, "a.b\x83.c", "", ".b\x83.c", false},
      // ...a character made of two lead-byte values is followed by a real delimiter, while an
      // odd run of them swallows the "\" after it.
      {&WindowsSyntax, "\x83\x83\\", "\x83\x83\\", "", true, "\x83\x83\\"},
      {&WindowsSyntax, "\x83\x83\x83\\", "", "", false, "\x83\x83\x83\\\\"},
      // A lead byte at the very end has no second byte; nothing breaks.
      {&WindowsSyntax, "x.\x83", "", ".\x83", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(ExtractFilePath(row.path, *row.syntax), row.folder);
    EXPECT_EQ(ExtractFileExt(row.path, *row.syntax), row.ext);
    EXPECT_EQ(RemoveFileExt(row.path, *row.syntax),
              row.path.substr(0, row.path.size() - row.ext.size()));
    EXPECT_EQ(EndsWithDelimiter(row.path, *row.syntax), row.endsWithDelimiter);
    if (row.asFolder != nullptr) {
      EXPECT_EQ(IncludeTrailingDelimiter(row.path, *row.syntax), row.asFolder);
    }
  }
}

TEST(PathRules, SameTextFoldsAsciiLettersOnly) {
  EXPECT_TRUE(SameTextAscii(".BmP", ".bmp"));
  EXPECT_TRUE(SameTextAscii("", ""));
  EXPECT_FALSE(SameTextAscii(".bmp", ".bm"));
  EXPECT_FALSE(SameTextAscii("\xC9", "\xE9")); // no locale: accented letters are not folded
  EXPECT_FALSE(SameTextAscii("@", "`"));
}

TEST(PathRules, FullPathIsLexical) {
  const struct {
    const char* cwd;
    const char* path;
    const char* full;
  } rows[] = {
      {"/home/u", "a.agg", "/home/u/a.agg"},
      {"/home/u", "./x/../a.agg", "/home/u/a.agg"},
      {"/home/u", "../../../a", "/a"},
      {"/home/u", "out/", "/home/u/out/"},
      {"/home/u", "/abs//p/./q", "/abs/p/q"},
      {"/", "", "/"},
      {"/home/u", "..", "/home"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(JoinAndNormalizePosix(row.cwd, row.path), row.full);
  }
}

class FileOutputTest : public vextest::TempFolderTest {};

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
  EXPECT_THROW_MSG(TFile::OpenOrRaise("no/such/x.bmp", TOpenMode::CreateAlways), EFCreateError,
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

TEST_F(FileOutputTest, ShippedFilesAreLookedForBesideTheExecutableFirst) {
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

TEST(ProgramArguments, SkipsTheProgramAndEmptyArguments) {
  char program[] = "Marlovexine";
  char empty[] = "";
  char archive[] = "a.agg";
  char folder[] = "out dir";
  char* argv[] = {program, empty, archive, empty, folder, nullptr};
#ifdef _WIN32
  // Windows ignores argv and splits the process's real command line. The runtime's own split
  // of it (__argv) agrees for the plain options this test is started with.
  std::vector<std::string> expected;
  for (int i = 1; i < __argc; ++i)
    if (__argv[i][0] != '\0')
      expected.emplace_back(__argv[i]);
  EXPECT_EQ(ProgramArguments(5, argv), expected);
#else
  EXPECT_EQ(ProgramArguments(5, argv), (std::vector<std::string>{"a.agg", "out dir"}));
#endif
}

} // namespace
