// The pure path rules, for POSIX and for Windows with the double-byte rule, on every platform:
// folder parts, extensions, trailing delimiters, ASCII case folding and the POSIX join.
#include "lead_bytes.h"
#include "paths.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace vex;
using vextest::IsTestLeadByte;

namespace {

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

// An archive's default folder is where it lies: the current folder, or the current folder of
// its drive, when its name is an extension alone, never a root.
TEST(PathRules, DefaultOutputFolderOfAnArchive) {
  const std::tuple<const TPathSyntax*, const char*, const char*> rows[] = {
      {&PosixSyntax, "games/data.agg", "games/data/"},
      {&PosixSyntax, ".agg", "./"},
      {&PosixSyntax, "dir/.agg", "dir/"},
      {&PosixSyntax, "/.agg", "/"},
      {&PosixSyntax, "D:.agg", "D:/"},
      {&WindowsSyntax, "C:\\games\\data.agg", "C:\\games\\data\\"},
      {&WindowsSyntax, ".agg", ".\\"},
      {&WindowsSyntax, "D:.agg", "D:.\\"},
      {&WindowsSyntax, "D:data.agg", "D:data\\"},
      {&WindowsSyntax, "D:\\.agg", "D:\\"},
      {&WindowsSyntax, "dir\\.agg", "dir\\"},
      // A ":" that is the second byte of a double-byte character ends no drive.
      {&WindowsSyntax, "a\x83:.agg", "a\x83:\\"},
  };
  for (const auto& [syntax, archive, folder] : rows)
    EXPECT_EQ(DefaultOutputFolder(archive, *syntax), folder) << archive;
}

TEST(PathRules, SameTextFoldsAsciiLettersOnly) {
  EXPECT_TRUE(SameTextAscii(".BmP", ".bmp"));
  EXPECT_TRUE(SameTextAscii("", ""));
  EXPECT_FALSE(SameTextAscii(".bmp", ".bm"));
  EXPECT_FALSE(SameTextAscii("\xC9", "\xE9")); // no locale: accented letters are not folded
  EXPECT_FALSE(SameTextAscii("@", "`"));
}

TEST(PathRules, FullPathIsLexical) {
  const std::tuple<const char*, const char*, const char*> rows[] = {
      {"/home/u", "a.agg", "/home/u/a.agg"},
      {"/home/u", "./x/../a.agg", "/home/u/a.agg"},
      {"/home/u", "../../../a", "/a"},
      {"/home/u", "out/", "/home/u/out/"},
      {"/home/u", "/abs//p/./q", "/abs/p/q"},
      {"/", "", "/"},
      {"/home/u", "..", "/home"},
  };
  for (const auto& [cwd, path, full] : rows)
    EXPECT_EQ(JoinAndNormalizePosix(cwd, path), full) << path;
}

} // namespace
