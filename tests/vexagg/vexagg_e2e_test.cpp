// vexagg as a user runs it: what goes to standard output and standard error, and exit codes.
#include "archive_builder.h"
#include "bmp_builder.h"
#include "run_tool.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace vextest;
using vextools::ArchiveBuilder;
using vextools::Noise;

namespace {

// The line that follows every argument error: where to read how it goes.
std::string Pointer(const std::string& command) {
  return "Run \"vexagg " + command + (command.empty() ? "" : " ") + "--help\" for the usage.\n";
}

TEST_F(ToolCopyTest, VexaggTextsAndExitCodes) {
  fs::copy_file(VEXAGG_EXE, Exe().parent_path() / "vexagg");
  WriteWholeFile(TemplatePath(), TemplateFile({}));
  ArchiveBuilder archive;
  archive.Add(0xC848, Noise(3, 1));                // kb.pal
  archive.Add(0x925A, {0, 0, 2, 0, 1, 0, 250, 7}); // overmain.bmp, 2 x 1
  WriteWholeFile(Folder() / "base.agg", archive.Build());
  archive.Add(0x9DF7, Noise(5, 2));                 // left.bmp, shorter than a head
  archive.Add(0x3F86, {0, 0, 4, 0, 4, 0, 1, 2, 3}); // boat.bkg, shorter than its pixels
  archive.Add(0x0001, {});                          // file_4
  WriteWholeFile(Folder() / "kinds.agg", archive.Build());
  archive.AddRaw({0xAF5F, 0, -2}); // font.icn, a negative size
  WriteWholeFile(Folder() / "bad.agg", archive.Build());
  ArchiveBuilder negative;
  negative.AddRaw({0xAF5F, -1, 1}); // font.icn, before the archive's first byte
  WriteWholeFile(Folder() / "negative.agg", negative.Build());
  WriteWholeFile(Folder() / "no_members.agg", {0, 0}); // no members: the count fills the file
  ASSERT_EQ(Run({"base.agg", "unpacked"}).exitCode, 0);
  fs::create_hard_link(Folder() / "base.agg", Folder() / "link.agg");
  WriteWholeFile(Folder() / "text.agg", {'h', 'e', 'l', 'l', 'o'});
  WriteWholeFile(Folder() / "text.bmp", {'B', 'y', 'e'});
  WriteWholeFile(Folder() / "old.BMP", {'B', 'M'});
  auto truncated = ReadWholeFile(Folder() / "base.agg");
  truncated.resize(30); // overmain.bmp ends at 33
  WriteWholeFile(Folder() / "truncated.agg", truncated);
  // Edits: kb.pal in another case, overmain.bmp as unpacked, a new known name, a subfolder.
  fs::create_directories(Folder() / "edited" / "sub");
  WriteWholeFile(Folder() / "edited" / "KB.PAL", {'x', 'y', 'z'});
  WriteWholeFile(Folder() / "edited" / "font.icn", {'i', 'c', 'o', 'n'});
  fs::copy_file(Folder() / "unpacked" / "overmain.bmp", Folder() / "edited" / "overmain.bmp");
  WriteWholeFile(Folder() / "edited" / "boat.bkg.bmp", {}); // a new picture, empty
  fs::create_directories(Folder() / "unknown");
  WriteWholeFile(Folder() / "unknown" / "notes.txt", {});
  fs::create_directories(Folder() / "twice");
  WriteWholeFile(Folder() / "twice" / "kb.pal", {});
  WriteWholeFile(Folder() / "twice" / "Kb.pal", {});
  fs::create_directories(Folder() / "linked");
  fs::create_symlink("../base.agg", Folder() / "linked" / "kb.pal");
  fs::create_symlink("../base.agg", Folder() / "linked" / "font.icn"); // a known name, not BASE's
  const std::string kinds = "index\tkey\tname\toffset\tsize\tkind\tfile\n"
                            "0\t0xC848\tkb.pal\t52\t3\traw\tkb.pal\n"
                            "1\t0x925A\tovermain.bmp\t55\t8\tpicture 2x1\tovermain.bmp\n"
                            "2\t0x9DF7\tleft.bmp\t63\t5\tpicture (short)\tleft.bmp\n"
                            "3\t0x3F86\tboat.bkg\t68\t9\tpicture (short)\tboat.bkg.bmp\n"
                            "4\t0x0001\tfile_4\t0\t0\traw\tfile_4\n";
  const std::string added = "index\tkey\tname\toffset\tsize\tkind\tfile\n"
                            "0\t0xC848\tkb.pal\t42\t3\traw\tkb.pal\n"
                            "1\t0x925A\tovermain.bmp\t45\t8\tpicture 2x1\tovermain.bmp\n"
                            "2\t0x3F86\tboat.bkg\t53\t6\tpicture 0x0\tboat.bkg.bmp\n"
                            "3\t0xAF5F\tfont.icn\t59\t4\traw\tfont.icn\n";
  const std::string summary = "Members replaced: 1, added: 0; files left out: 3";
  const auto empty = [](int n) {
    return "vexagg: argument " + std::to_string(n) + " is empty: no file or member has that name\n";
  };
  const std::string itself = "vexagg: OUT.agg \"link.agg\" is BASE.agg \"base.agg\" itself; "
                             "write the new archive to another file\n";
  // Each run: its arguments, exit code, standard output and standard error.
  const auto expect = [&](const std::vector<std::string>& args, int exitCode,
                          const std::string& out, const std::string& err) {
    SCOPED_TRACE(args.empty() ? "" : args[0] + " " + args.back());
    const ToolRun run = RunTool((Exe().parent_path() / "vexagg").string(), args, Folder().string());
    EXPECT_EQ(run.exitCode, exitCode);
    EXPECT_EQ(run.out, out);
    EXPECT_EQ(run.err, err);
  };
  const std::string notArchive = "Not an archive: its directory of 25960 entries needs 259602 "
                                 "bytes, the file has 5.\ntext.agg\n";
  const std::string truncatedArchive = "Not an archive, or a truncated one: member overmain.bmp "
                                       "ends at byte 33, the file has 30.\ntruncated.agg\n";
  const std::string addIt = " (no member of BASE has this name; --add adds it)\nleft out: ";
  const std::string leftOut =
      "left out: boat.bkg.bmp" + addIt + "font.icn" + addIt + "sub (a folder)\n";
  const std::string notKnown =
      "Not a known name, so it cannot be added: neither the game nor the unpack finds a member "
      "by a name the known-name table lacks (the unpack would call it file_N).\n"
      "unknown/notes.txt\n";
  const std::string symlink = "File is a symbolic link, which vexagg does not follow; put the "
                              "file itself in the folder.\nlinked/";
  const std::string noFolder = "Cannot create file \"" + (Folder() / "none" / "out5.agg").string() +
                               "\". No such file or directory.\nnone/out5.agg\n";
  // The usage: where it goes, and lines of it that matter; a command's part holds no other's.
  const auto expectUsage = [&](const std::vector<std::string>& args, int exitCode,
                               const std::vector<std::string>& lines, const char* absent) {
    SCOPED_TRACE(args.empty() ? "" : args[0] + " " + args.back());
    const ToolRun run = RunTool((Exe().parent_path() / "vexagg").string(), args, Folder().string());
    EXPECT_EQ(run.exitCode, exitCode);
    const std::string& text = exitCode == 0 ? run.out : run.err;
    EXPECT_EQ(exitCode == 0 ? run.err : run.out, "");
    for (const std::string& line : lines)
      EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  };
  const std::vector<std::string> whole = {
      "vexagg 1.1: looks inside", "\n  vexagg list ARCHIVE\n", "\n  vexagg extract ARCHIVE",
      "\nExit code: 0 on success, 1 on a failure, 2 for wrong arguments.\n"};
  expectUsage({}, 2, whole, "Run \"");
  expectUsage({"--help"}, 0, whole, "Run \"");
  expectUsage({"-h"}, 0, whole, "Run \"");
  expectUsage({"list", "--help"}, 0, {"Usage:\n  vexagg list ARCHIVE\n"}, "update");
  expectUsage({"update", "--bogus", "-h"}, 0, {"Usage:\n  vexagg update [--add]", "--resize  "},
              "vexagg list");
  expect({"--version"}, 0, "vexagg 1.1\nLicense: MIT\n", "");
  expect({"pack", "x"}, 2, "", "vexagg: unknown command \"pack\"\n" + Pointer(""));
  expect({"list"}, 2, "", "vexagg: list takes one argument: ARCHIVE\n" + Pointer("list"));
  expect({"list", "kinds.agg"}, 0, kinds, "");
  expect({"list", "no_members.agg"}, 0, kinds.substr(0, kinds.find('\n') + 1), "");
  expect({"list", "bad.agg"}, 1, "", "Range check error.\nfont.icn\n");
  expect({"list", "negative.agg"}, 1, "",
         "Not an archive: member font.icn starts at offset -1, before the file.\nnegative.agg\n");
  expect({"list", "text.agg"}, 1, "", notArchive);
  expect({"list", "truncated.agg"}, 1, "", truncatedArchive);
  expect({"update", "-n", "base.agg", "edited", "out3.agg"}, 0, "kb.pal\treplaced\n",
         leftOut + summary + "; a dry run: nothing was written\n");
  expect({"update", "base.agg", "edited", "out4.agg", "--add"}, 0,
         "kb.pal\treplaced\nboat.bkg\tadded\t0\t0\nfont.icn\tadded\n",
         "left out: sub (a folder)\nMembers replaced: 1, added: 2; files left out: 1\n");
  expect({"list", "out4.agg"}, 0, added, "");
  expect({"update", "--add", "base.agg", "unknown", "out5.agg"}, 1, "", notKnown);
  expect({"update", "base.agg", "linked", "out5.agg"}, 1, "", symlink + "kb.pal\n");
  expect({"update", "--add", "base.agg", "linked", "out5.agg"}, 1, "", symlink + "font.icn\n");
  expect({"update", "base.agg", "twice", "out5.agg"}, 1, "",
         "Two files match the member kb.pal: \"Kb.pal\" and \"kb.pal\"; keep only one.\ntwice/\n");
  expect({"update", "base.agg", "unpacked", "none/out5.agg"}, 1, "", noFolder);
  const std::string unpackedInto = " must be the folder BASE was unpacked into.\n";
  expect({"update", "base.agg", "missing", "out5.agg"}, 1, "",
         "No such folder: FOLDER" + unpackedInto + "missing\n");
  expect({"update", "base.agg", "out5.agg/", "unpacked"}, 1, "",
         "No such folder: FOLDER" + unpackedInto + "out5.agg\n");
  expect({"update", "base.agg", "kinds.agg", "out5.agg"}, 1, "",
         "Not a folder: FOLDER" + unpackedInto + "kinds.agg\n");
  expect({"update", "--bogus", "base.agg", "unpacked", "out5.agg"}, 2, "",
         "vexagg: unknown option \"--bogus\"\n" + Pointer("update"));
  expect({"update", "base.agg", "unpacked", "link.agg"}, 2, "", itself + Pointer("update"));
  expect({"update", "--transparent", "256", "base.agg", "unpacked", "out5.agg"}, 2, "",
         "vexagg: --transparent takes an index from 0 to 255, not \"256\"\n" + Pointer("update"));
  expect({"update", "bad.agg", "unpacked", "out1.agg"}, 1, "", "Range check error.\nfont.icn\n");
  // extract: as the unpack writes, one name or a pattern, to standard output, as stored.
  const auto text = [](const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
  };
  expect({"extract", "base.agg", "-C", "all"}, 0, "all/kb.pal\nall/overmain.bmp\n", "");
  expect({"extract", "text.agg", "-C", "all"}, 1, "", notArchive);
  expect({"extract", "-C", "some", "base.agg", "K?.PAL", "*.icn"}, 1, "some/kb.pal\n",
         "not in the archive: *.icn\n");
  expect({"extract", "base.agg", "over*"}, 0, "overmain.bmp\n", ""); // as the user named it
  expect({"extract", "base.agg", "-O", "none"}, 1, "", "not in the archive: none\n");
  expect({"extract", "base.agg", "-O", "over*"}, 0,
         text(ReadWholeFile(Folder() / "unpacked" / "overmain.bmp")), "");
  expect({"extract", "base.agg", "--raw", "-O", "overmain.bmp"}, 0,
         text({0, 0, 2, 0, 1, 0, 250, 7}), "");
  expect({"extract", "base.agg", "--raw", "-C", "no", "-C", "-O", "kb.pal"}, 0, "-O/kb.pal\n", "");
  expect({"extract", "base.agg", "--png", "-C", "png"}, 0, "png/kb.pal\npng/overmain.png\n", "");
  expect({"extract", "base.agg", "--png", "--raw"}, 2, "",
         "vexagg: --png and --raw exclude each other\n" + Pointer("extract"));
  expect({"extract", "base.agg", "-O"}, 1, "",
         "2 members are chosen, and standard output takes one: name one member.\n");
  expect({"extract", "base.agg", "-C"}, 2, "",
         "vexagg: option \"-C\" needs a value\n" + Pointer("extract"));
  // An empty folder would let the member's name take its place: "kb.pal/" would be made.
  expect({"extract", "base.agg", "-C", "", "kb.pal"}, 2, "",
         "vexagg: option \"-C\" has an empty value\n" + Pointer("extract"));
  expect({"extract", "base.agg", "kb.pal", ""}, 2, "", empty(4) + Pointer("extract"));
  expect({"template", "--bits", "7", "kb.pal", "t.bmp"}, 2, "",
         "vexagg: --bits takes 6 or 8, not \"7\"\n" + Pointer("template"));
  // OUT must be a bitmap, new or replacing one: reversed arguments never overwrite a palette.
  expect({"template", "unpacked/overmain.bmp", "unpacked/kb.pal"}, 2, "",
         "vexagg: OUT.bmp \"unpacked/kb.pal\" does not end in .bmp: the template is a bitmap "
         "file\n" +
             Pointer("template"));
  expect({"template", "unpacked/overmain.bmp", "text.bmp"}, 2, "",
         "vexagg: OUT.bmp \"text.bmp\" is there, and is no bitmap file (it does not begin with "
         "\"BM\")\n" +
             Pointer("template"));
  expect({"template", "unpacked/overmain.bmp", "old.BMP"}, 0, "bitmap\t256 colours\t8-bit\n", "");
  const std::string oneColour = "GIMP Palette\n1 2 3\n";
  WriteWholeFile(Folder() / "one.gpl", {oneColour.begin(), oneColour.end()});
  expect({"template", "one.gpl", "one.bmp"}, 0, "GIMP\t1 colour\t8-bit\n", "");
  EXPECT_EQ(ReadWholeFile(Folder() / "old.BMP").size(), 14u + 40 + 1024 + 4);
  expect({"template", "base.agg", "combat.pal", "t.bmp"}, 1, "",
         "No member of the archive has this name.\ncombat.pal\n");
  expect({"extract", "base.agg", "-C", "pal", "--palette", "combat.pal"}, 1, "",
         "No member of the archive has this name.\ncombat.pal\n");
  expect({"extract", "base.agg", "--palette", "one.gpl", "--png", "-C", "gpl"}, 0,
         "gpl/kb.pal\ngpl/overmain.png\n", "");
  EXPECT_EQ(ReadWholeFile(Folder() / "gpl" / "overmain.png").at(1), 'P'); // "\x89PNG", not "BM"
  expect({"extract", "base.agg", "--palette", "kb.pal", "--raw"}, 2, "",
         "vexagg: --palette and --raw exclude each other\n" + Pointer("extract"));
  // gallery --open may leave OUT.html out, nothing more. With no opener on PATH the page
  // stays, and its absolute path is told for the user to open it by hand (exit 1).
  expect({"gallery", "--open"}, 2, "",
         "vexagg: gallery --open takes ARCHIVE and at most OUT.html\n" + Pointer("gallery"));
  expect({"gallery", "base.agg"}, 2, "",
         "vexagg: gallery takes two paths: ARCHIVE OUT.html\n" + Pointer("gallery"));
  const std::string path = std::getenv("PATH");
  setenv("PATH", (Folder() / "unpacked").c_str(), 1);
  expect({"gallery", "--open", "base.agg", "shown.html"}, 1,
         "pictures: 1 drawn, 0 not drawn; palettes: 1\n",
         "The page is written, but no browser could show it: Cannot start xdg-open. No such file "
         "or directory.\nOpen it by hand: " +
             (Folder() / "shown.html").string() + "\n");
  setenv("PATH", path.c_str(), 1);
  EXPECT_GT(fs::file_size(Folder() / "shown.html"), 0u);
  for (const char* file : {"kb.pal", "overmain.bmp"})
    EXPECT_EQ(ReadWholeFile(Folder() / "all" / file), ReadWholeFile(Folder() / "unpacked" / file));
  for (const char* absent : {"out1.agg", "out3.agg", "out5.agg", "t.bmp", "kb.pal", "pal"})
    EXPECT_FALSE(fs::exists(Folder() / absent)) << absent;
}

} // namespace

namespace {

// The user's palette, a member of their archive, becomes the template the unpack finds in their
// configuration folder, and the pictures carry its colours.
TEST_F(ToolCopyTest, ATemplateFromAPaletteMemberColoursTheUnpack) {
  fs::copy_file(VEXAGG_EXE, Exe().parent_path() / "vexagg");
  std::vector<std::uint8_t> palette; // 6-bit values, as VGA palettes hold them
  for (int i = 0; i < 768; ++i)
    palette.push_back(static_cast<std::uint8_t>((i * 7) % 64));
  ArchiveBuilder archive;
  archive.Add(0xC848, Noise(768, 3));                 // kb.pal, then again: the last counts
  archive.Add(0xC848, palette);                       // kb.pal
  archive.Add(0x925A, {0, 0, 3, 0, 1, 0, 0, 1, 255}); // overmain.bmp, 3 x 1
  WriteWholeFile(Folder() / "a.agg", archive.Build());
  const fs::path data = Folder() / "config";
  ASSERT_EQ(setenv("XDG_CONFIG_HOME", data.c_str(), 1), 0);
  const ToolRun made =
      RunTool((Exe().parent_path() / "vexagg").string(),
              {"template", "a.agg", "KB.PAL", (data / "marlovexine" / "TivPalette.bmp").string()},
              Folder().string());
  EXPECT_EQ(made.out, "raw\t256 colours\t6-bit\n");
  EXPECT_EQ(made.err, "");
  EXPECT_EQ(Run({"a.agg"}).exitCode, 0); // nothing beside the tool: the user's template
  unsetenv("XDG_CONFIG_HOME");
  const std::vector<std::uint8_t> bitmap = ReadWholeFile(Folder() / "a" / "overmain.bmp");
  ASSERT_EQ(bitmap.size(), 14u + 40 + 1024 + 4);
  // Colour 1 is (21, 28, 35) in 6 bits, widened to 8 by repeating the top bits; blue first.
  EXPECT_EQ(std::vector<std::uint8_t>(bitmap.begin() + 58, bitmap.begin() + 62),
            (std::vector<std::uint8_t>{142, 113, 85, 0}));
}

// Temporary files that an update left beside OUT.
std::vector<std::string> Temporaries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("out.agg.", 0) == 0 && name.size() > 12 &&
        name.substr(name.size() - 4) == ".tmp")
      names.push_back(name);
  }
  return names;
}

TEST_F(ToolCopyTest, VexaggUpdateLeavesNoTemporaryFileBehind) {
  const fs::path vexagg = Exe().parent_path() / "vexagg";
  fs::copy_file(VEXAGG_EXE, vexagg);
  WriteWholeFile(TemplatePath(), TemplateFile({}));
  ArchiveBuilder archive;
  archive.Add(0xC848, Noise(3, 1)); // kb.pal
  WriteWholeFile(Folder() / "base.agg", archive.Build());
  // OUT keeps its mode.
  WriteWholeFile(Folder() / "out.agg", {'o', 'l', 'd'});
  fs::permissions(Folder() / "out.agg",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_directories(Folder() / "small");
  const ToolRun run =
      RunTool(vexagg.string(), {"update", "base.agg", "small", "out.agg"}, Folder().string());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(fs::status(Folder() / "out.agg").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Temporaries(Folder()), std::vector<std::string>());
  // OUT's mode cannot be read (a link to itself): the update fails, and its file goes with it.
  fs::remove(Folder() / "out.agg");
  fs::create_symlink("out.agg", Folder() / "out.agg");
  EXPECT_EQ(
      RunTool(vexagg.string(), {"update", "base.agg", "small", "out.agg"}, Folder().string()).err,
      "Cannot create file \"" + (Folder() / "out.agg").string() +
          "\". Too many levels of symbolic links.\nout.agg\n");
  EXPECT_EQ(Temporaries(Folder()), std::vector<std::string>());
}

} // namespace
