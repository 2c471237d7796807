// The unpack loop against real archives in a temporary folder: naming, member bounds, and what
// stays on disk when a member fails.
#include "archive_builder.h"
#include "exceptions.h"
#include "expect_throw_msg.h"
#include "files.h"
#include "known_names.h"
#include "platform_errors.h"
#include "temp_folder.h"
#include "unpack_archive.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <tuple>

namespace fs = std::filesystem;
using namespace vex;
using namespace vextest;
using vextools::ArchiveBuilder;
using vextools::Noise;

namespace {

constexpr std::uint16_t KbPal = 0xC848;      // "kb.pal"
constexpr std::uint16_t UnknownKey = 0x0001; // no known name

class UnpackArchiveTest : public TempFolderTest {
protected:
  // Unpacks into Out(); no template lies in the test's folder.
  std::vector<std::string> Unpack(const std::string& archivePath, const TUnpackChoice& choice = {},
                                  const std::string& out = {},
                                  std::function<void(const std::string&)> written = {}) {
    return UnpackArchive(archivePath, *FolderSink(out.empty() ? Out() : out, std::move(written)),
                         PaletteTemplatePath(FolderString()), choice);
  }
  std::string WriteArchive(const std::vector<std::uint8_t>& bytes) {
    const fs::path path = Folder() / "test.agg";
    WriteWholeFile(path, bytes);
    return path.string();
  }
  // The folder with the platform's own delimiter at its end ("/" is no delimiter on Windows).
  std::string Out() const {
    return (Folder() / "out").string() + static_cast<char>(fs::path::preferred_separator);
  }
  std::vector<std::uint8_t> OutFile(const char* name) const {
    return ReadWholeFile(Folder() / "out" / name);
  }
};

TEST_F(UnpackArchiveTest, NamesMembersAndWritesThemByteForByte) {
  ArchiveBuilder archive;
  archive.Add(KbPal, Noise(768, 1));
  archive.Add(UnknownKey, Noise(33, 2));
  archive.AddRaw({NameKey("combat.pal"), -7, 0}); // empty: an offset that would fail if used
  archive.Add(0xEFD5, Noise(5, 3));               // "WINCE00.82M": not an image, whatever the case
  Unpack(WriteArchive(archive.Build()));
  EXPECT_EQ(OutFile("kb.pal"), Noise(768, 1));
  EXPECT_EQ(OutFile("file_1"), Noise(33, 2));
  EXPECT_TRUE(fs::exists(Folder() / "out" / "combat.pal"));
  EXPECT_EQ(OutFile("combat.pal").size(), 0u);
  EXPECT_EQ(OutFile("WINCE00.82M"), Noise(5, 3));
}

TEST_F(UnpackArchiveTest, EntriesMayOverlapAndLaterMembersReplaceEarlierOnes) {
  ArchiveBuilder archive;
  archive.Add(KbPal, Noise(100, 7));
  const std::int32_t dataAt = 2 + 10 * 3;
  archive.AddRaw({UnknownKey, dataAt + 10, 20}); // inside kb.pal's bytes
  archive.AddRaw({KbPal, dataAt + 50, 3});       // kb.pal again, shorter
  Unpack(WriteArchive(archive.Build()));
  const auto all = Noise(100, 7);
  EXPECT_EQ(OutFile("file_1"), std::vector<std::uint8_t>(all.begin() + 10, all.begin() + 30));
  EXPECT_EQ(OutFile("kb.pal"), std::vector<std::uint8_t>(all.begin() + 50, all.begin() + 53));
}

TEST_F(UnpackArchiveTest, AChoiceChecksAndWritesOnlyTheMembersItNames) {
  ArchiveBuilder archive;
  archive.Add(KbPal, Noise(768, 1));
  archive.Add(0x3F86, {0, 0, 1, 0, 1, 0, 9});   // boat.bkg: kept as stored with raw
  archive.AddRaw({NameKey("font.icn"), 0, -2}); // a negative size fails only when chosen
  archive.Add(KbPal, Noise(5, 2));              // kb.pal again: the last one is written
  const std::string path = WriteArchive(archive.Build());
  TUnpackChoice choice;
  choice.patterns = {"KB.*", "*.bkg", "none?"};
  choice.raw = true;
  std::vector<std::string> written;
  const auto tell = [&](const std::string& name) { written.push_back(name); };
  EXPECT_EQ(Unpack(path, choice, {}, tell), std::vector<std::string>{"none?"});
  EXPECT_EQ(written, (std::vector<std::string>{"boat.bkg", "kb.pal"}));
  EXPECT_EQ(OutFile("kb.pal"), Noise(5, 2));
  EXPECT_EQ(OutFile("boat.bkg"), (std::vector<std::uint8_t>{0, 0, 1, 0, 1, 0, 9}));
  choice.patterns = {"font.icn"};
  EXPECT_THROW_MSG(Unpack(path, choice), ERangeError, "Range check error", "font.icn");
}

// Keeps the files in memory, as the loop's sink interface lets a test see them without a folder.
struct TMemorySink final : TUnpackSink {
  void Begin(const TFile&, const TCheckedDirectory&, const TUnpackPlan&) override {}
  void CopyFile(const std::string& name, const TFile& file, std::uint64_t at,
                std::uint64_t count) override {
    files[name].resize(static_cast<std::size_t>(count));
    file.ReadExactAt(at, files[name].data(), files[name].size());
  }
  void WriteFile(const std::string& name, TBytesView bytes) override {
    files[name].assign(bytes.data(), bytes.data() + bytes.size());
  }
  std::map<std::string, std::vector<std::uint8_t>> files;
};

// A picture that a later member replaces is never written, but it is checked as if it were:
// without its template the run fails at it, and nothing after it reaches the sink.
TEST_F(UnpackArchiveTest, AReplacedPictureStillNeedsTheTemplate) {
  ArchiveBuilder archive;
  archive.Add(KbPal, Noise(9, 4));
  archive.Add(NameKey("overmain.bmp"), vextools::RawImage(2, 1, {1, 2}));
  archive.Add(UnknownKey, Noise(3, 5)); // never reached
  archive.Add(NameKey("overmain.bmp"), vextools::RawImage(1, 1, {3}));
  const std::string templatePath = (Folder() / "TivPalette.bmp").string();
  TMemorySink sink;
  EXPECT_THROW_MSG(UnpackArchive(WriteArchive(archive.Build()), sink, templatePath), EFOpenError,
                   "Cannot open file \"" + templatePath + "\". " + OsText(NoSuchFile),
                   "overmain.bmp");
  EXPECT_EQ(sink.files, (decltype(sink.files){{"kb.pal", Noise(9, 4)}}));
}

// The room an unpack needs: what each file grows by, plus the largest file that stands twice
// while its new one replaces it; a file the unpack does not write costs nothing.
TEST(UnpackSpaceNeeded, GrowthPlusTheLargestOverlap) {
  const std::tuple<TFileSizes, TFileSizes, std::uint64_t> rows[] = {
      {{{"a", 100}}, {}, 100},
      {{{"a", 100}}, {{"a", 40}}, 60 + 40},
      {{{"a", 0}}, {{"a", 50}}, 0},
      {{{"a", 7}, {"b", 9}}, {{"c", 1000}}, 16},
      {{{"a", 100}, {"b", 10}}, {{"a", 300}, {"b", 5}}, 5 + 100},
  };
  for (const auto& [written, replaced, needed] : rows)
    EXPECT_EQ(UnpackSpaceNeeded(written, replaced), needed) << needed;
}

TEST_F(UnpackArchiveTest, NoMembersStillMakesTheFolder) {
  Unpack(WriteArchive({0, 0})); // the directory fills the file
  Unpack(WriteArchive({0, 0, 0xAA}), {}, Out() + "deeper/");
  EXPECT_TRUE(fs::is_directory(Folder() / "out" / "deeper"));
  EXPECT_TRUE(fs::is_empty(Folder() / "out" / "deeper"));
}

// Marlovexine says "Stream read error" alone; vexagg extract tells why the file is no archive.
TEST_F(UnpackArchiveTest, ShortArchivesFailBeforeAnyMember) {
  const struct {
    std::vector<std::uint8_t> bytes;
    const char* explained;
  } rows[] = {
      {{}, "Not an archive: 0 bytes cannot hold a member count"},
      {{1}, "Not an archive: 1 bytes cannot hold a member count"},
      // one entry, cut one byte short
      {{1, 0, 0x48, 0xC8, 0, 0, 0, 0, 0, 0, 0},
       "Not an archive: its directory of 1 entries needs 12 bytes, the file has 11"},
  };
  TUnpackChoice explain;
  explain.explainDirectory = true;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes.size());
    const std::string path = WriteArchive(row.bytes);
    EXPECT_THROW_MSG(Unpack(path), EReadError, "Stream read error");
    EXPECT_THROW_MSG(Unpack(path, explain), EStreamError, row.explained, path);
    EXPECT_FALSE(fs::exists(Folder() / "out"));
  }
}

// Every bad entry fails at its own member, and the members before it stay on disk.
TEST_F(UnpackArchiveTest, BadEntriesFailAtTheirMember) {
  const std::int32_t big = 0x7FFFFFFF;
  const struct {
    const char* what;
    vextools::ArchiveEntry entry;
    bool rangeError;
  } rows[] = {
      {"data past the end", {UnknownKey, 40, 100}, false},
      {"negative offset", {UnknownKey, -1, 1}, false},
      {"offset plus size past 2^31", {UnknownKey, big, big}, false},
      {"size larger than the whole archive", {UnknownKey, 0, big}, false},
      {"negative size", {UnknownKey, 0, -5}, true},
      {"negative size and offset", {UnknownKey, -5, -5}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(Folder() / "out");
    ArchiveBuilder archive;
    archive.Add(KbPal, Noise(9, 4));
    archive.AddRaw(row.entry);
    archive.Add(NameKey("combat.pal"), Noise(9, 5));
    const std::string path = WriteArchive(archive.Build());
    if (row.rangeError)
      EXPECT_THROW_MSG(Unpack(path), ERangeError, "Range check error", "file_1");
    else
      EXPECT_THROW_MSG(Unpack(path), EReadError, "Stream read error", "file_1");
    EXPECT_EQ(OutFile("kb.pal"), Noise(9, 4));
    EXPECT_FALSE(fs::exists(Folder() / "out" / "combat.pal"));
  }
}

TEST_F(UnpackArchiveTest, AFolderThatCannotBeMadeFailsAtTheFirstMember) {
  WriteWholeFile(Folder() / "out", {1});
  ArchiveBuilder archive;
  archive.Add(KbPal, {1});
  EXPECT_THROW_MSG(Unpack(WriteArchive(archive.Build())), EOSError,
                   "System Error.  Code: " + std::to_string(AlreadyExists) + ".\r\n" +
                       OsText(AlreadyExists),
                   "kb.pal");
}

} // namespace
