// The OS layer: error texts, path rules, folder making and whole-buffer file output, each
// against the real file system of a fresh temporary folder.
#include "app_folder.h"
#include "command_line.h"
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "files.h"
#include "paths.h"
#include "platform.h"
#include "platform_errors.h"
#include "system_error.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using namespace vex;
using vextest::ReadWholeFile;
using vextest::WriteWholeFile;

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

// A stand-in for a double-byte code page: 0x81..0x9F and 0xE0..0xFC lead a two-byte character.
bool IsTestLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

const TPathSyntax PosixSyntax{"/", '/', nullptr};
const TPathSyntax WindowsSyntax{"\\:", '\\', IsTestLeadByte};

TEST(PathRules, FolderPartAndExtension) {
  const struct {
    const TPathSyntax* syntax;
    const char* path;
    const char* folder;
    const char* ext;
    const char* withoutExt;
  } rows[] = {
      {&PosixSyntax, "games/data.agg", "games/", ".agg", "games/data"},
      {&PosixSyntax, "a.b/data", "a.b/", "", "a.b/data"},
      {&PosixSyntax, ".agg", "", ".agg", ""},
      {&PosixSyntax, "dir\\x.y:z", "", ".y:z", "dir\\x"},
      {&PosixSyntax, "/", "/", "", "/"},
      {&WindowsSyntax, "C:\\games\\data.agg", "C:\\games\\", ".agg", "C:\\games\\data"},
      {&WindowsSyntax, "C:data.agg", "C:", ".agg", "C:data"},
      {&WindowsSyntax, "a.b\\data", "a.b\\", "", "a.b\\data"},
      {&WindowsSyntax, "out/x.agg", "", ".agg", "out/x"},
      // 0x83 0x5C is one character: its second byte is no delimiter.
      {&WindowsSyntax, "\x83\x5C.agg", "", ".agg", "\x83\x5C"},
      {&WindowsSyntax, "d\\\x83\x5C", "d\\", "", "d\\\x83\x5C"},
      // A lead byte at the very end has no second byte; nothing breaks.
      {&WindowsSyntax, "x.\x83", "", ".\x83", "x"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(ExtractFilePath(row.path, *row.syntax), row.folder);
    EXPECT_EQ(ExtractFileExt(row.path, *row.syntax), row.ext);
    EXPECT_EQ(RemoveFileExt(row.path, *row.syntax), row.withoutExt);
  }
  EXPECT_TRUE(EndsWithDelimiter("out\\", WindowsSyntax));
  EXPECT_FALSE(EndsWithDelimiter("out/", WindowsSyntax));
  EXPECT_FALSE(EndsWithDelimiter("\x83\x5C", WindowsSyntax));
  EXPECT_TRUE(EndsWithDelimiter("out/", PosixSyntax));
  EXPECT_FALSE(EndsWithDelimiter("", PosixSyntax));
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
    EXPECT_EQ(platform::JoinAndNormalizePosix(row.cwd, row.path), row.full);
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
