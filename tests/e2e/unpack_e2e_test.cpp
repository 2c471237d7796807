// The real executable on archives the test builds: arguments, output folders, and every known
// name, pictures converted byte for byte. (Its failures are hostile_input_e2e_test's part.)
#include "archive_builder.h"
#include "bmp_builder.h"
#include "known_names.h"
#include "run_tool.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <iterator>
#include <map>

namespace fs = std::filesystem;
using namespace vextest;
using vextools::ArchiveBuilder;
using vextools::Noise;

namespace {

// The usage's line that says what to type; the rest of its text is the usage's own.
const char* const Usage = "\nUsage: Marlovexine.exe Archive.agg [Folder]\n";
const char* const Success = "Operation succesful.\n";

// The test's own key rule, so that a wrong key in the tool's table cannot cancel out.
std::uint16_t KeyOf(std::string_view name) {
  static const std::map<std::string_view, std::uint16_t> fixed = {{"file_14.bin", 0x5837},
                                                                  {"file_29.icn", 0x443A},
                                                                  {"file_148.bmp", 0xF9B6},
                                                                  {"file_278.bin", 0x2FD7}};
  if (const auto it = fixed.find(name); it != fixed.end())
    return it->second;
  std::uint16_t h = 0;
  for (const char ch : name) {
    const int c = std::toupper(static_cast<unsigned char>(ch));
    h = static_cast<std::uint16_t>(((h << 9) | (h >> 7)) - c);
  }
  return h;
}

using ExpectedFiles = std::map<std::string, std::vector<std::uint8_t>>;

// The sizes of the archive's pictures.
struct Picture {
  std::uint16_t width, height;
};
constexpr Picture PictureSizes[] = {{1, 1},  {3, 2}, {4, 4}, {5, 3},     {13, 7}, {64, 1},
                                    {1, 64}, {0, 5}, {7, 0}, {320, 200}, {37, 21}};

class UnpackE2ETest : public ToolCopyTest {
protected:
  void SetUp() override {
    ToolCopyTest::SetUp();
    WriteWholeFile(TemplatePath(), TemplateFile({}));
  }
  // Every known name once, the image names holding pictures of many sizes and the others 0 to
  // 96 bytes, with unknown keys between them; fills `expected` with what the output folder must
  // hold, pictures as converted with the template beside the tool.
  std::vector<std::uint8_t> EveryNameArchive(ExpectedFiles& expected) {
    ArchiveBuilder archive;
    std::uint32_t seed = 0;
    for (const std::string_view name : vex::KnownNameList()) {
      if (seed % 100 == 0) { // a key that no name has: written under its position
        auto bytes = Noise(seed % 7, seed + 100000);
        expected["file_" + std::to_string(archive.Add(0x0001, bytes))] = bytes;
      }
      ++seed;
      const MemberFile file = FileOfMember(name);
      if (!file.picture) {
        auto bytes = Noise(seed % 97, seed);
        archive.Add(KeyOf(name), bytes);
        expected[file.name] = bytes;
      } else {
        const Picture p = PictureSizes[seed % std::size(PictureSizes)];
        const auto pixels = Noise(std::size_t{p.width} * p.height, seed);
        archive.Add(KeyOf(name), vextools::RawImage(p.width, p.height, pixels));
        expected[file.name] = ExpectedBitmapFile({}, p.width, p.height, pixels.data());
      }
    }
    return archive.Build();
  }

  void ExpectFolderHolds(const fs::path& folder, const ExpectedFiles& expected) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      const auto it = expected.find(name);
      ASSERT_NE(it, expected.end()) << "unexpected file " << name;
      EXPECT_EQ(ReadWholeFile(entry.path()), it->second) << name;
      ++count;
    }
    EXPECT_EQ(count, expected.size());
  }
};

// No archive, or an option as the first argument: the usage (a text that holds its line) or
// the version alone on standard output, exit code 0, and nothing read or written (an archive
// named like the option stays untouched).
TEST_F(UnpackE2ETest, WithoutAnArchiveShowsTheUsage) {
  const std::string version =
      std::string("Marlovexine ") + MARLOVEXINE_VERSION + "\nLicense: MIT\n";
  const struct {
    std::vector<std::string> args;
    std::string out;
  } rows[] = {
      {{}, Usage},
      {{"--help"}, Usage},
      {{"-h", "out"}, Usage},
      {{"--version"}, version},
  };
  WriteWholeFile(Folder() / "--help", {0, 0});
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.empty() ? "no arguments" : row.args.back());
    const ToolRun run = Run(row.args);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(row.out == Usage ? run.out.find(Usage) != std::string::npos : run.out == row.out)
        << run.out;
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1);
}

TEST_F(UnpackE2ETest, FolderArgumentWithOrWithoutTrailingDelimiter) {
  ExpectedFiles expected;
  WriteWholeFile(Folder() / "a.agg", EveryNameArchive(expected));
  // A success that standard output does not take (a full disk) is told, and fails the run.
  const bool haveFull = fs::exists("/dev/full");
  for (const char* folder : {"out1", "out2/", "deep/er/out3", "full"}) {
    SCOPED_TRACE(folder);
    const bool full = std::string(folder) == "full";
    if (full && !haveFull)
      continue;
    const ToolRun run =
        full ? RunTool("/bin/sh", {"-c", "exec \"$0\" a.agg full > /dev/full", Exe().string()},
                       Folder().string())
             : Run({"a.agg", folder});
    EXPECT_EQ(run.exitCode, full ? 1 : 0);
    EXPECT_EQ(run.out, full ? "" : Success);
    EXPECT_EQ(run.err, full ? "Cannot write to standard output. No space left on device.\n" : "");
    ExpectFolderHolds(Folder() / folder, expected);
  }
}

// Every known name once, pictures of many sizes among them (widths not multiples of 4, empty
// ones, one of 320 x 200), converted byte for byte with the template beside the executable.
// (The header styles and colour counts of templates are the conversion tests' part.)
TEST_F(UnpackE2ETest, UnpacksEveryKnownNameIntoTheDefaultFolder) {
  ExpectedFiles expected;
  fs::create_directories(Folder() / "games");
  WriteWholeFile(Folder() / "games" / "data.agg", EveryNameArchive(expected));
  // An empty argument before the archive is not counted.
  const ToolRun run = Run({"", "games/data.agg"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, Success);
  EXPECT_EQ(run.err, "");
  ExpectFolderHolds(Folder() / "games" / "data", expected);
}

} // namespace
