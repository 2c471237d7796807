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

const std::string Usage =
    "vexagg v1.1: looks inside .agg archives and puts edited members back.\n"
    "\n"
    "Usage:\n"
    "  vexagg list ARCHIVE\n"
    "      Prints the directory, one tab-separated row per member: index, key, name,\n"
    "      offset, size and kind (raw, or picture WxH).\n"
    "  vexagg update BASE.agg FOLDER OUT.agg\n"
    "      Writes OUT.agg with the directory of BASE.agg. Each member comes from the file\n"
    "      that Marlovexine unpacks it to in FOLDER when that file is there, else from\n"
    "      BASE.agg. Prints a line per picture taken from FOLDER: its name, a tab, and how\n"
    "      many of its pixels had no exact colour in the palette template TivPalette.bmp.\n"
    "  vexagg --help\n"
    "      Prints this text.\n"
    "\n"
    "Exit code: 0 on success, 1 on a failure, 2 for wrong arguments.\n";

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
  ASSERT_EQ(Run({"base.agg", "unpacked"}).exitCode, 0);
  fs::create_hard_link(Folder() / "base.agg", Folder() / "link.agg");
  fs::create_directories(Folder() / "bad");
  WriteWholeFile(Folder() / "bad" / "overmain.bmp", {'B', 'M'});
  const std::string kinds = "index\tkey\tname\toffset\tsize\tkind\n"
                            "0\t0xC848\tkb.pal\t52\t3\traw\n"
                            "1\t0x925A\tovermain.bmp\t55\t8\tpicture 2x1\n"
                            "2\t0x9DF7\tleft.bmp\t63\t5\tpicture (short)\n"
                            "3\t0x3F86\tboat.bkg\t68\t9\tpicture (short)\n"
                            "4\t0x0001\tfile_4\t0\t0\traw\n";
  const std::string itself = "vexagg: OUT.agg \"link.agg\" is BASE.agg \"base.agg\" itself; "
                             "write the new archive to another file\n";
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;
  } rows[] = {
      {{}, 2, "", Usage},
      {{"--help"}, 0, Usage, ""},
      {{"pack", "x"}, 2, "", "vexagg: unknown command \"pack\"\n" + Usage},
      {{"list"}, 2, "", "vexagg: list takes one argument: ARCHIVE\n" + Usage},
      {{"list", "kinds.agg"}, 0, kinds, ""},
      {{"list", "bad.agg"}, 1, "", "Range check error.\nfont.icn\n"},
      {{"update", "base.agg", "unpacked", "out.agg"}, 0, "overmain.bmp\t0\n", ""},
      {{"update", "base.agg", "unpacked", "link.agg"}, 2, "", itself + Usage},
      {{"update", "bad.agg", "unpacked", "out1.agg"}, 1, "", "Range check error.\nfont.icn\n"},
      {{"update", "base.agg", "bad", "out2.agg"}, 1, "", "Stream read error.\nbad/overmain.bmp\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.empty() ? "" : row.args[0] + " " + row.args.back());
    const ToolRun run =
        RunTool((Exe().parent_path() / "vexagg").string(), row.args, Folder().string());
    EXPECT_EQ(run.exitCode, row.exitCode);
    EXPECT_EQ(run.out, row.out);
    EXPECT_EQ(run.err, row.err);
  }
  EXPECT_EQ(ReadWholeFile(Folder() / "out.agg"), ReadWholeFile(Folder() / "base.agg"));
  EXPECT_FALSE(fs::exists(Folder() / "out1.agg") || fs::exists(Folder() / "out2.agg"));
}

} // namespace
