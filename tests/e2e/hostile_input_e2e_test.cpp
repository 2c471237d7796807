// The real executable against every bad input it knows, as doc/failures.md lists them: bad
// archives, bad members, bad palette templates and output folders that cannot be written. Each
// row checks the exact text on standard error, exit code 1, and what stays on disk; the
// variants of one failure are left to the unit tests and the kept fuzz
// inputs. OS failures are provoked for real: folders where files must go, a file size limit
// for a write that falls short, a memory limit, and runs as the unprivileged user "nobody"
// for permissions.
#include "archive_builder.h"
#include "bmp_builder.h"
#include "run_tool.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#if defined(__linux__)
#include <sys/sysmacros.h> // makedev; elsewhere <sys/types.h> has it
#endif

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
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
  const auto read = [](const std::string& member) {
    return "Stream read error.\n" + member + "\n";
  };
  const char* const over = "overmain.bmp";
  const struct {
    const char* what;
    std::vector<std::uint8_t> archive;
    std::string err;
    const char* notWritten;
  } rows[] = {
      {"negative offset", AroundOneEntry({Unknown, -1, 1}), read("file_1"), "file_1"},
      {"picture of no bytes", AroundOneEntry({Overmain, 0, 0}), read(over), over},
      {"65535 x 65535 picture of 10 bytes",
       AroundOneMember(BoatBkg, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}), read("boat.bkg"),
       "boat.bkg.bmp"},
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
// the assembled file; and a raw member of 2 GiB, which streams to its file under 16 MiB. The
// archives are sparse files, so they cost no disk to make. The sanitizers reserve far more
// address space than the limit, so their builds skip.
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
      {"a picture member of 2 GiB", Overmain, 0x7FFFFFFF, "1000000",
       "Out of memory.\novermain.bmp\n"},
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
  // The largest raw member, its first and last bytes marked, under a limit the whole process
  // must fit in.
  ByteBuilder head;
  head.U16(1).U16(Unknown).I32(12).I32(0x7FFFFFFF).U8(0x5A);
  WriteWholeFile(Folder() / "big.agg", head.Get());
  const std::uintmax_t size = 12 + std::uintmax_t{0x7FFFFFFF};
  fs::resize_file(Folder() / "big.agg", size);
  std::fstream(Folder() / "big.agg", std::ios::in | std::ios::out | std::ios::binary)
      .seekp(static_cast<std::streamoff>(size - 1))
      .put('\x3C');
  fs::remove_all(Folder() / "out");
  const ToolRun run =
      RunTool("/bin/sh", {"-c", "ulimit -v 16384 && exec \"$0\" big.agg out", Exe().string()},
              Folder().string());
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exitCode, 0);
  const fs::path file = Folder() / "out" / "file_0";
  ASSERT_EQ(fs::file_size(file), std::uintmax_t{0x7FFFFFFF});
  std::ifstream written(file, std::ios::binary);
  EXPECT_EQ(written.get(), 0x5A);
  EXPECT_EQ(written.seekg(-1, std::ios::end).get(), 0x3C);
  written.close();
  fs::remove_all(Folder() / "out"); // 2 GiB of disk, given back at once
}

// Template failures come at the first picture, before its file exists, and name it.
TEST_F(HostileInputE2ETest, BadTemplatesFailAtTheFirstPicture) {
  const std::string path = TemplatePath().string();
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes; // not written for "missing" and "a folder"
    std::string message;
  } rows[] = {
      {"missing", {}, "Cannot open file \"" + path + "\". No such file or directory"},
      {"a folder", {}, "Cannot open file \"" + path + "\". Is a directory"},
      {"24 bits", TemplateFile(TemplateLayout().Bits(24)),
       "Palette template is not an 8-bit bitmap"},
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
  const struct {
    const char* what;
    std::uint16_t key; // of the archive's one member
    std::string folder;
    std::string err;
  } rows[] = {
      {"a file where the folder goes, picture", Overmain, "file",
       "Cannot create file \"" + Abs("file/overmain.bmp") + "\". File exists.\novermain.bmp\n"},
      {"a file where a parent goes", KbPal, "file/sub", OsError(EEXIST) + "kb.pal\n"},
      {"a folder where the file goes", KbPal, "taken", OsError(EISDIR) + "kb.pal\n"},
      {"a folder where the file goes, picture", Overmain, "taken",
       "Cannot create file \"" + Abs("taken/overmain.bmp") + "\". Is a directory.\novermain.bmp\n"},
      {"a folder name too long", KbPal, longName, OsError(ENAMETOOLONG) + "kb.pal\n"},
      {"a folder name too long, picture", Overmain, longName,
       "Cannot create file \"" + Abs(longName + "/overmain.bmp") +
           "\". File name too long.\novermain.bmp\n"},
      {"file size limit", KbPal, "limited", OsError(EFBIG) + "kb.pal\n"},
      {"file size limit, picture", Overmain, "limited", "Stream write error.\novermain.bmp\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ArchiveBuilder archive;
    // Both larger than the file size limit: 512 or 1024 bytes, as the shell counts it.
    archive.Add(row.key, row.key == KbPal ? vextools::Noise(4000, 1) : Picture(40, 30));
    WriteWholeFile(Folder() / "a.agg", archive.Build());
    // No file may grow past one block, which the message on standard error fits in: the
    // member's write fails (EFBIG) rather than the signal ending the run.
    const std::string limit = row.folder == "limited" ? "trap '' XFSZ; ulimit -f 1; " : "";
    ExpectFailure(RunTool("/bin/sh",
                          {"-c", limit + "exec \"$0\" a.agg \"$1\"", Exe().string(), row.folder},
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

// Whatever stands where a member's file goes, but a folder, is replaced by the member's own
// file: a symbolic link to a file, to nothing or to a folder, a hard link, a named pipe with a
// reader and without, a device. What it pointed to or shared its data with stays as it was,
// nothing appears outside the output folder, and nothing is sent down a pipe. Each run has a
// time limit: a pipe must not stall it. The output folder itself may be a link: the user
// named it.
TEST_F(HostileInputE2ETest, WhatStandsAtMemberNamesIsReplaced) {
  WriteWholeFile(Folder() / "a.agg", AroundOneMember(Overmain, Picture(3, 2)));
  ASSERT_EQ(Run({"a.agg", "clean"}).exitCode, 0); // the files the members must give
  WriteWholeFile(Folder() / "victim", {7});
  fs::create_directories(Folder() / "victim_folder" / "inside");
  const fs::path out = Folder() / "out";
  fs::create_directories(out);
  const auto before = FilesOutside(Folder(), out);
  enum class Kind { Symlink, HardLink, Pipe, PipeWithReader, Device };
  const struct {
    const char* what;
    Kind kind;
    const char* target = nullptr; // of a symbolic link
  } rows[] = {
      {"symbolic link to a file", Kind::Symlink, "../victim"},
      {"symbolic link to nothing", Kind::Symlink, "../nothing"},
      {"symbolic link to a folder", Kind::Symlink, "../victim_folder"},
      {"hard link", Kind::HardLink},
      {"named pipe", Kind::Pipe},
      {"named pipe with a reader", Kind::PipeWithReader},
      {"device", Kind::Device},
  };
  for (const char* member : {"kb.pal", "overmain.bmp"}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(member) + ": " + row.what);
      const fs::path at = out / member;
      fs::remove(at);
      int reader = -1;
      switch (row.kind) {
      case Kind::Symlink:
        fs::create_symlink(row.target, at);
        break;
      case Kind::HardLink:
        fs::create_hard_link(Folder() / "victim", at);
        break;
      case Kind::Pipe:
      case Kind::PipeWithReader:
        ASSERT_EQ(mkfifo(at.c_str(), 0666), 0);
        if (row.kind == Kind::PipeWithReader)
          reader = ::open(at.c_str(), O_RDONLY | O_NONBLOCK);
        break;
      case Kind::Device: // the null device's numbers: it would swallow the member
        if (::mknod(at.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
          continue; // only root may make one
        break;
      }
      const ToolRun run = RunTool(
          "/bin/sh", {"-c", "exec timeout 60 \"$0\" a.agg out", Exe().string()}, Folder().string());
      EXPECT_EQ(run.err, "");
      EXPECT_EQ(run.exitCode, 0);
      if (reader >= 0) {
        char got = 0;
        EXPECT_EQ(::read(reader, &got, 1), 0); // no writer ever came, and no byte
        ::close(reader);
      }
      EXPECT_EQ(FilesOutside(Folder(), out), before);
      ASSERT_EQ(fs::symlink_status(at).type(), fs::file_type::regular);
      EXPECT_EQ(ReadWholeFile(at), ReadWholeFile(Folder() / "clean" / member));
    }
  }
  fs::create_directory_symlink("clean", Folder() / "via_link");
  fs::remove(Folder() / "clean" / "kb.pal");
  EXPECT_EQ(Run({"a.agg", "via_link"}).exitCode, 0);
  EXPECT_EQ(ReadWholeFile(Folder() / "clean" / "kb.pal"), KbPalBytes);
}

// Two runs unpacking different archives into one folder at once: each writes files of its
// own, so every name ends up holding one whole member of one archive, never a mix.
TEST_F(HostileInputE2ETest, ConcurrentUnpacksTearNoFile) {
  std::vector<std::vector<std::uint8_t>> members[2];
  for (std::uint32_t a = 0; a < 2; ++a) {
    ArchiveBuilder archive;
    for (std::uint32_t m = 0; m < 4; ++m)
      members[a].push_back(vextools::Noise((std::size_t{1} << 20) + m, 2 * m + a + 1));
    for (const auto& bytes : members[a])
      archive.Add(Unknown, bytes);
    members[a].push_back(
        Picture(301, static_cast<std::uint16_t>(203 + a))); // a picture too, with its own writer
    archive.Add(Overmain, members[a].back());
    WriteWholeFile(Folder() / (a == 0 ? "a.agg" : "b.agg"), archive.Build());
  }
  const std::string both = "\"$0\" a.agg out >/dev/null & first=$!; \"$0\" b.agg out >/dev/null;"
                           " second=$?; wait $first; exit $(($? + second))";
  std::vector<std::uint8_t> bitmaps[2]; // each picture as a run of its own writes it
  for (int a = 0; a < 2; ++a) {
    WriteWholeFile(Folder() / "one.agg", AroundOneMember(Overmain, members[a].back()));
    ASSERT_EQ(Run({"one.agg", "single"}).exitCode, 0);
    bitmaps[a] = ReadWholeFile(Folder() / "single" / "overmain.bmp");
  }
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    const ToolRun run = RunTool("/bin/sh", {"-c", both, Exe().string()}, Folder().string());
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.exitCode, 0);
    for (std::size_t m = 0; m < 4; ++m) {
      const auto got = ReadWholeFile(Folder() / "out" / ("file_" + std::to_string(m)));
      EXPECT_TRUE(got == members[0][m] || got == members[1][m]) << "file_" << m;
    }
    const auto bitmap = ReadWholeFile(Folder() / "out" / "overmain.bmp");
    EXPECT_TRUE(bitmap == bitmaps[0] || bitmap == bitmaps[1]) << bitmap.size();
  }
}

// The disk is checked before anything is written, against the free space the system tells (the
// sum itself is UnpackSpaceNeeded's, tested on its own): for each file the last member written
// to it counts. The archives' data is a sparse file shared by all
// their entries, so they cost no disk to make.
TEST_F(HostileInputE2ETest, DiskSpaceIsCheckedFirst) {
  const auto overlapping = [&](const char* name, std::uint16_t key, std::int32_t size) {
    ByteBuilder archive;
    archive.U16(65535);
    const std::int32_t data = 2 + 65535 * 10;
    for (int i = 0; i < 65535; ++i)
      archive.U16(key).I32(data).I32(size);
    WriteWholeFile(Folder() / name, archive.Get());
    fs::resize_file(Folder() / name, static_cast<std::uintmax_t>(data) + size);
  };
  // 65535 names of 2 GiB each: 140 TB, which no disk here holds.
  overlapping("names.agg", Unknown, 0x7FFFFFFF);
  const ToolRun refused = Run({"names.agg", "out"});
  const std::string unpacksTo = "Not enough disk space: the archive unpacks to " +
                                std::to_string(65535 * std::uint64_t{0x7FFFFFFF}) + " bytes, ";
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err.substr(0, unpacksTo.size()), unpacksTo);
  EXPECT_EQ(refused.err.substr(refused.err.find_first_not_of("0123456789", unpacksTo.size())),
            " are free.\n");
  EXPECT_FALSE(fs::exists(Folder() / "out"));
  // One name 65535 times: only the last is written, in the time of one member.
  overlapping("one.agg", KbPal, 1 << 20);
  const ToolRun one = RunTool(
      "/bin/sh", {"-c", "exec timeout 60 \"$0\" one.agg out", Exe().string()}, Folder().string());
  EXPECT_EQ(one.exitCode, 0);
  EXPECT_EQ(fs::file_size(Folder() / "out" / "kb.pal"), std::uintmax_t{1} << 20);
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
