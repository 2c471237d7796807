// The real executable against every bad input it knows, as README's "When something goes
// wrong" lists them: bad archives, bad members, bad palette templates and output folders that
// cannot be written. Each row checks the exact text on standard error, exit code 1, and what
// stays on disk; the variants of one failure are left to the unit tests and the kept fuzz
// inputs. OS failures are provoked for real: folders where files must go, a copy of the
// /dev/full device for a full disk, a memory limit, and runs as the unprivileged user "nobody"
// for permissions.
#include "archive_builder.h"
#include "bmp_builder.h"
#include "pixel_format_assertion.h"
#include "run_tool.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

namespace fs = std::filesystem;
using namespace vextest;
using vextools::ArchiveBuilder;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Keys of known names, as the archive stores them.
constexpr std::uint16_t KbPal = 0xC848;     // "kb.pal"
constexpr std::uint16_t CombatPal = 0x06FF; // "combat.pal"
constexpr std::uint16_t Overmain = 0x925A;  // "overmain.bmp"
constexpr std::uint16_t BoatBkg = 0x3F86;   // "boat.bkg", written as boat.bkg.bmp
constexpr std::uint16_t Unknown = 0x0001;   // no known name: file_N

const std::vector<std::uint8_t> KbPalBytes = {1, 2, 3};

std::vector<std::uint8_t> Picture(std::uint16_t width, std::uint16_t height) {
  return vextools::RawImage(width, height, vextools::Noise(std::size_t{width} * height, 1));
}

// kb.pal, then `bad`, then combat.pal: the member before the failure stays, the one after it
// is never attempted.
std::vector<std::uint8_t> AroundOneMember(std::uint16_t key, std::vector<std::uint8_t> bad) {
  ArchiveBuilder archive;
  archive.Add(KbPal, KbPalBytes);
  archive.Add(key, std::move(bad));
  archive.Add(CombatPal, {9});
  return archive.Build();
}

std::vector<std::uint8_t> AroundOneEntry(vextools::ArchiveEntry bad) {
  ArchiveBuilder archive;
  archive.Add(KbPal, KbPalBytes);
  archive.AddRaw(bad);
  archive.Add(CombatPal, {9});
  return archive.Build();
}

// The error box for an errno, by the system's own number and text for it: they differ between
// systems (a name too long is 36 on Linux, 63 on macOS).
std::string OsError(int code) {
  return "System Error.  Code: " + std::to_string(code) + ".\n" + std::strerror(code) + ".\n";
}

class HostileInputE2ETest : public ToolCopyTest {
protected:
  void SetUp() override {
    ToolCopyTest::SetUp();
    WriteWholeFile(TemplatePath(), TemplateFile({}));
  }
  std::string Abs(const std::string& name) const { return FolderString() + name; }
  // Runs as the user "nobody" when the tests run as root, whom no permission stops.
  ToolRun RunUnprivileged(const std::vector<std::string>& args) {
    if (geteuid() != 0)
      return Run(args);
    std::vector<std::string> setpriv = {"--reuid=65534", "--regid=65534", "--clear-groups",
                                        Exe().string()};
    setpriv.insert(setpriv.end(), args.begin(), args.end());
    return RunTool("/usr/bin/setpriv", setpriv, Folder().string());
  }
  // The run failed with exactly `err`, and printed nothing else.
  static void ExpectFailure(const ToolRun& run, const std::string& err) {
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, err);
  }
  // kb.pal was written before the failure; combat.pal, after it, was never attempted.
  void ExpectOnlyTheFirstMember(const fs::path& out) {
    EXPECT_EQ(ReadWholeFile(out / "kb.pal"), KbPalBytes);
    EXPECT_FALSE(fs::exists(out / "combat.pal"));
  }
};

// Failures before the first member: nothing is made, not even the output folder.
TEST_F(HostileInputE2ETest, BadArchivesLeaveNothingBehind) {
  fs::create_directories(Folder() / "folder.agg");
  // A named pipe would stall a plain open until a writer came; it is refused at once.
  ASSERT_EQ(mkfifo((Folder() / "pipe.agg").c_str(), 0666), 0);
  const struct {
    const char* name;
    std::optional<Bytes> bytes; // none: made above, or not there at all
    std::string err;
  } rows[] = {
      {"none.agg",
       {},
       "Cannot open file \"" + Abs("none.agg") + "\". No such file or directory.\n"},
      {"folder.agg", {}, "Cannot open file \"" + Abs("folder.agg") + "\". Is a directory.\n"},
      {"pipe.agg", {}, "Cannot open file \"" + Abs("pipe.agg") + "\". Invalid argument.\n"},
      {"empty.agg", Bytes{}, "Stream read error.\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.bytes)
      WriteWholeFile(Folder() / row.name, *row.bytes);
    ExpectFailure(Run({row.name, "out"}), row.err);
    EXPECT_FALSE(fs::exists(Folder() / "out"));
  }
}

// A bad member fails at itself, before its file exists; the members before it stay.
TEST_F(HostileInputE2ETest, BadMembersFailAtThemselves) {
  const std::int32_t max = 0x7FFFFFFF;
  std::vector<std::uint8_t> cutPicture = Picture(5, 3);
  cutPicture.pop_back();
  const struct {
    const char* what;
    std::vector<std::uint8_t> archive;
    std::string err;
    const char* notWritten;
  } rows[] = {
      {"negative offset", AroundOneEntry({Unknown, -1, 1}), "Stream read error.\nfile_1\n",
       "file_1"},
      {"negative size", AroundOneEntry({Unknown, 0, -1}), "Range check error.\nfile_1\n", "file_1"},
      {"size 2147483647", AroundOneEntry({Unknown, 0, max}), "Stream read error.\nfile_1\n",
       "file_1"},
      {"picture of 5 bytes", AroundOneMember(Overmain, {0, 0, 1, 0, 1}),
       "Stream read error.\novermain.bmp\n", "overmain.bmp"},
      {"picture of no bytes", AroundOneEntry({Overmain, 0, 0}),
       "Stream read error.\novermain.bmp\n", "overmain.bmp"},
      {"picture one pixel short", AroundOneMember(Overmain, cutPicture),
       "Stream read error.\novermain.bmp\n", "overmain.bmp"},
      {"65535 x 65535 picture of 10 bytes",
       AroundOneMember(BoatBkg, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}),
       "Stream read error.\nboat.bkg\n", "boat.bkg.bmp"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(Folder() / "out");
    WriteWholeFile(Folder() / "a.agg", row.archive);
    ExpectFailure(Run({"a.agg", "out"}), row.err);
    ExpectOnlyTheFirstMember(Folder() / "out");
    EXPECT_FALSE(fs::exists(Folder() / "out" / row.notWritten));
  }
}

// Memory running out, under a limit of about 1 GB on the process's address space, for each
// of the three large blocks a picture needs in turn: the member's bytes, the rebuilt picture,
// the assembled file. The archives are sparse files, so they cost no disk. The sanitizers
// reserve far more address space than the limit, so their builds skip.
TEST_F(HostileInputE2ETest, MemoryRunningOut) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "a memory limit and AddressSanitizer do not mix";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "a memory limit and AddressSanitizer do not mix";
#endif
#endif
#if defined(__APPLE__)
  GTEST_SKIP() << "macOS does not enforce ulimit -v, so no memory limit stops the tool";
#endif
  // 20000 x 20000 pixels: 400 MB for the member, as much again for the picture and the file.
  const std::int32_t pictureSize = 6 + 20000 * 20000;
  const struct {
    const char* what;
    std::uint16_t key;
    std::int32_t size;
    const char* limitKb;
    std::string err;
    std::uint16_t templateBits = 8;
  } rows[] = {
      {"a member of 2 GiB", Unknown, 0x7FFFFFFF, "1000000", "Out of memory.\nfile_0\n"},
      {"the picture after its 400 MB member", Overmain, pictureSize, "600000",
       "Out of system resources.\novermain.bmp\n"},
      {"the file after the member and the picture", Overmain, pictureSize, "1000000",
       "Out of memory.\novermain.bmp\n"},
      // 1.2 GB at 24 bits: the picture is made before the template's depth is judged.
      {"the picture in a 24-bit template's format", Overmain, pictureSize, "1000000",
       "Out of system resources.\novermain.bmp\n", 24},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    WriteWholeFile(TemplatePath(), TemplateFile(TemplateLayout().Bits(row.templateBits)));
    ByteBuilder head;
    head.U16(1).U16(row.key).I32(12).I32(row.size); // count, then the one entry
    head.U16(0).U16(20000).U16(20000);              // a picture's head; its pixels are 0
    WriteWholeFile(Folder() / "big.agg", head.Get());
    fs::resize_file(Folder() / "big.agg", 12 + static_cast<std::uintmax_t>(row.size));
    fs::remove_all(Folder() / "out");
    const ToolRun run =
        RunTool("/bin/sh",
                {"-c", std::string("ulimit -v ") + row.limitKb + " && exec \"$0\" big.agg out",
                 Exe().string()},
                Folder().string());
    ExpectFailure(run, row.err);
    EXPECT_TRUE(fs::is_empty(Folder() / "out"));
  }
}

// Template failures come at the first picture, before its file exists, and name it.
TEST_F(HostileInputE2ETest, BadTemplatesFailAtTheFirstPicture) {
  const auto patched = [](std::size_t at, std::uint32_t value) {
    return Patched(TemplateFile({}), at, value);
  };
  std::vector<std::uint8_t> cut = TemplateFile({});
  cut.resize(14 + 40 + 4 * 100);
  const std::string path = TemplatePath().string();
  const std::string invalid = "Bitmap image is not valid";
  const std::string assertion = PixelFormatAssertion;
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes; // not written for "missing" and "a folder"
    std::string message;
  } rows[] = {
      {"missing", {}, "Cannot open file \"" + path + "\". No such file or directory"},
      {"a folder", {}, "Cannot open file \"" + path + "\". Is a directory"},
      {"not BM", patched(0, 0x4D41), invalid},
      {"257 colours", patched(46, 257), invalid},
      {"header size 20", patched(14, 20), invalid},
      {"ends inside its colour table", cut, "Stream read error"},
      {"24 bits", TemplateFile(TemplateLayout().Bits(24)),
       "Palette template is not an 8-bit bitmap"},
      {"1 bit", TemplateFile(TemplateLayout().Bits(1)), assertion},
  };
  WriteWholeFile(Folder() / "a.agg", AroundOneMember(Overmain, Picture(3, 2)));
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(TemplatePath());
    if (std::string(row.what) == "a folder")
      fs::create_directories(TemplatePath());
    else if (std::string(row.what) != "missing")
      WriteWholeFile(TemplatePath(), row.bytes);
    fs::remove_all(Folder() / "out");
    ExpectFailure(Run({"a.agg", "out"}), row.message + ".\novermain.bmp\n");
    ExpectOnlyTheFirstMember(Folder() / "out");
    EXPECT_FALSE(fs::exists(Folder() / "out" / "overmain.bmp"));
  }
}

// Raw members report the system's error; pictures, written by the bitmap writer, report the
// file they could not create or the write that fell short.
TEST_F(HostileInputE2ETest, OutputThatCannotBeWritten) {
  const std::string longName(300, 'x');
  WriteWholeFile(Folder() / "file", {7});
  fs::create_directories(Folder() / "taken" / "kb.pal");
  fs::create_directories(Folder() / "taken" / "overmain.bmp");
  fs::create_directories(Folder() / "full");
  // A full disk, for real: the files are the device that takes nothing, made anew where the
  // system allows it (a link to it would be replaced by a file of the member's own).
  struct stat full {};
  bool haveDevFull = ::stat("/dev/full", &full) == 0;
  for (const char* name : {"kb.pal", "overmain.bmp"})
    haveDevFull =
        haveDevFull && ::mknod((Folder() / "full" / name).c_str(), full.st_mode, full.st_rdev) == 0;
  const bool haveProc = fs::exists("/proc/self"); // Linux, where a library can be preloaded
  const struct {
    const char* what;
    std::uint16_t key; // of the archive's one member
    std::string folder;
    std::string err;
    int closeError = 0; // an error that closing the member's file reports
  } rows[] = {
      {"a file where the folder goes", KbPal, "file", OsError(EEXIST) + "kb.pal\n"},
      {"a file where the folder goes, picture", Overmain, "file",
       "Cannot create file \"" + Abs("file/overmain.bmp") + "\". Not a directory.\novermain.bmp\n"},
      {"a file where a parent goes", KbPal, "file/sub", OsError(EEXIST) + "kb.pal\n"},
      {"a folder where the file goes", KbPal, "taken", OsError(EISDIR) + "kb.pal\n"},
      {"a folder where the file goes, picture", Overmain, "taken",
       "Cannot create file \"" + Abs("taken/overmain.bmp") + "\". Is a directory.\novermain.bmp\n"},
      {"a folder name too long", KbPal, longName, OsError(ENAMETOOLONG) + "kb.pal\n"},
      {"a folder name too long, picture", Overmain, longName,
       "Cannot create file \"" + Abs(longName + "/overmain.bmp") +
           "\". File name too long.\novermain.bmp\n"},
      {"disk full", KbPal, "full", OsError(ENOSPC) + "kb.pal\n"},
      {"disk full, picture", Overmain, "full", "Stream write error.\novermain.bmp\n"},
      {"quota exceeded at close", KbPal, "late", OsError(EDQUOT) + "kb.pal\n", EDQUOT},
      {"I/O error at close, picture", Overmain, "late", "Stream write error.\novermain.bmp\n", EIO},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    if ((row.folder == "full" && !haveDevFull) || (row.closeError != 0 && !haveProc))
      continue;
    ArchiveBuilder archive;
    archive.Add(row.key, row.key == KbPal ? KbPalBytes : Picture(3, 2));
    WriteWholeFile(Folder() / "a.agg", archive.Build());
    // AddressSanitizer's runtime would refuse to come after the preloaded library.
    const std::string preload =
        "LD_PRELOAD=" VEX_CLOSE_FAILS " VEX_CLOSE_ERRNO=" + std::to_string(row.closeError) +
        " ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0 ";
    ExpectFailure(RunTool("/bin/sh",
                          {"-c", (row.closeError != 0 ? preload : "") + "exec \"$0\" a.agg \"$1\"",
                           Exe().string(), row.folder},
                          Folder().string()),
                  row.err);
  }
  EXPECT_EQ(ReadWholeFile(Folder() / "file"), std::vector<std::uint8_t>{7});
  // Without an extension the default folder is the archive's own path, which is a file.
  WriteWholeFile(Folder() / "data", AroundOneMember(Overmain, Picture(3, 2)));
  ExpectFailure(Run({"data"}), OsError(EEXIST) + "kb.pal\n");
}

// Every path below `root` but outside `out`, with each file's bytes.
std::map<fs::path, std::vector<std::uint8_t>> FilesOutside(const fs::path& root,
                                                           const fs::path& out) {
  std::map<fs::path, std::vector<std::uint8_t>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.path().parent_path() != out)
      files[entry.path()] =
          entry.is_regular_file() ? ReadWholeFile(entry) : std::vector<std::uint8_t>{};
  return files;
}

// A link planted where a member's file goes, to a file, to nothing or to a folder, is replaced
// by the member's own file: its target stays as it was and nothing appears outside the output
// folder. The output folder itself may be a link: the user named it.
TEST_F(HostileInputE2ETest, LinksAtMemberNamesAreReplaced) {
  WriteWholeFile(Folder() / "a.agg", AroundOneMember(Overmain, Picture(3, 2)));
  ASSERT_EQ(Run({"a.agg", "clean"}).exitCode, 0); // the files the members must give
  WriteWholeFile(Folder() / "victim", {7});
  fs::create_directories(Folder() / "victim_folder" / "inside");
  const fs::path out = Folder() / "out";
  fs::create_directories(out);
  const auto before = FilesOutside(Folder(), out);
  for (const char* member : {"kb.pal", "overmain.bmp"}) {
    for (const char* target : {"../victim", "../nothing", "../victim_folder"}) {
      SCOPED_TRACE(std::string(member) + " -> " + target);
      fs::remove(out / member);
      fs::create_symlink(target, out / member);
      EXPECT_EQ(Run({"a.agg", "out"}).exitCode, 0);
      EXPECT_EQ(FilesOutside(Folder(), out), before);
      ASSERT_EQ(fs::symlink_status(out / member).type(), fs::file_type::regular);
      EXPECT_EQ(ReadWholeFile(out / member), ReadWholeFile(Folder() / "clean" / member));
    }
  }
  fs::create_directory_symlink("clean", Folder() / "via_link");
  fs::remove(Folder() / "clean" / "kb.pal");
  EXPECT_EQ(Run({"a.agg", "via_link"}).exitCode, 0);
  EXPECT_EQ(ReadWholeFile(Folder() / "clean" / "kb.pal"), KbPalBytes);
}

// Permissions: an archive, a template or an output folder the user may not use.
TEST_F(HostileInputE2ETest, WhatTheUserMayNotReadOrWrite) {
  // Everything the unprivileged run needs to reach: its folders, the executable, the archive.
  fs::permissions(Folder(), fs::perms::all);
  fs::permissions(Exe().parent_path(), fs::perms::all);
  fs::create_directories(Folder() / "open");
  fs::permissions(Folder() / "open", fs::perms::all);
  ArchiveBuilder archive;
  archive.Add(KbPal, KbPalBytes);
  archive.Add(Overmain, Picture(3, 2));
  WriteWholeFile(Folder() / "a.agg", archive.Build());
  WriteWholeFile(Folder() / "secret.agg", archive.Build());
  fs::permissions(Folder() / "secret.agg", fs::perms::none);
  // Root's, and not writable even by its owner: no one may make a folder in it.
  fs::create_directories(Folder() / "closed");
  fs::permissions(Folder() / "closed", fs::perms::owner_read | fs::perms::owner_exec);

  ExpectFailure(RunUnprivileged({"secret.agg", "open/a"}),
                "Cannot open file \"" + Abs("secret.agg") + "\". Permission denied.\n");
  EXPECT_FALSE(fs::exists(Folder() / "open" / "a"));

  ExpectFailure(RunUnprivileged({"a.agg", "closed/out"}), OsError(EACCES) + "kb.pal\n");
  EXPECT_TRUE(fs::is_empty(Folder() / "closed"));

  fs::permissions(TemplatePath(), fs::perms::none);
  ExpectFailure(RunUnprivileged({"a.agg", "open/b"}), "Cannot open file \"" +
                                                          TemplatePath().string() +
                                                          "\". Permission denied.\novermain.bmp\n");
  EXPECT_EQ(ReadWholeFile(Folder() / "open" / "b" / "kb.pal"), KbPalBytes);
  EXPECT_FALSE(fs::exists(Folder() / "open" / "b" / "overmain.bmp"));
}

} // namespace
