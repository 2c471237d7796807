// vexagg's list and update against real archives and folders: round trips through the unpack,
// where each member comes from, colours back to indices, and failures that leave OUT alone.
#include "archive_builder.h"
#include "archive_update.h"
#include "bmp_builder.h"
#include "exceptions.h"
#include "gallery.h"
#include "known_names.h"
#include "member_names.h"
#include "picture_file.h"
#include "temp_folder.h"
#include "template_maker.h"
#include "unpack_archive.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <tuple>

namespace fs = std::filesystem;
using namespace vex;
using namespace vextest;
using vextools::ArchiveBuilder;
using vextools::Noise;
using Bytes = std::vector<std::uint8_t>;
using Colour = TPaletteEntry;

namespace {

// A raw picture member: two bytes of its own, u16 width and height, then the indices.
Bytes RawPicture(std::uint16_t width, std::uint16_t height, std::uint8_t tag) {
  Bytes member = vextools::RawImage(width, height, Noise(std::size_t{width} * height, tag));
  member[0] = tag, member[1] = static_cast<std::uint8_t>(tag + 1);
  return member;
}

// A bitmap file of `layout` whose stored pixel rows (bottom-up unless the height is negative,
// each padded to 4 bytes) are `rows`.
Bytes BitmapFile(const TemplateLayout& layout, const Bytes& rows) {
  Bytes file = TemplateFile(layout);
  std::copy(rows.begin(), rows.end(), file.end() - static_cast<std::ptrdiff_t>(rows.size()));
  return file;
}

// A bitmap of its own colours (all of them counted); bit-field masks when `masks` has some,
// in a V5 header with `alpha` as the alpha mask when that is not 0.
TemplateLayout Layout(std::uint16_t bitCount, std::int32_t width, std::int32_t height,
                      std::vector<Colour> colours = {}, std::array<std::uint32_t, 3> masks = {},
                      std::uint32_t alpha = 0) {
  TemplateLayout layout = TemplateLayout().Size(width, height).Bits(bitCount);
  layout.alphaMask = alpha, layout.headerSize = alpha != 0 ? 124 : 40;
  layout.coloursUsed = static_cast<std::uint32_t>(colours.size());
  layout.colours = std::move(colours), layout.compression = masks[0] != 0 ? 3 : 0;
  layout.masks = masks;
  return layout;
}

class VexaggTest : public TempFolderTest {
protected:
  std::string At(const std::string& name) const { return (Folder() / name).string(); }
  std::string InFolder(const std::string& folder, const std::string& name) const {
    return At(folder) + static_cast<char>(fs::path::preferred_separator) + name;
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    fs::create_directories(fs::path(At(name)).parent_path());
    WriteWholeFile(At(name), bytes);
    return At(name);
  }
  void Unpack(const std::string& archive, const std::string& folder) {
    UnpackArchive(At(archive), *FolderSink(InFolder(folder, "")),
                  PaletteTemplatePath(FolderString()));
  }
  // What the update printed on standard output, then on standard error; or its failure's
  // message and subject. `options` gives the flags.
  std::string Update(const std::string& base, const std::string& folder,
                     TUpdateRequest options = {}) {
    options.basePath = At(base), options.folder = At(folder);
    options.outPath = At("out.agg"), options.templatePath = At("TivPalette.bmp");
    try {
      const TUpdateReport report = UpdateArchive(options);
      return report.changes + report.notes;
    } catch (const Exception& e) {
      return e.Message() + " | " + e.Subject();
    }
  }
};

TEST_F(VexaggTest, EveryKnownNameComesBackByteForByteThroughUnpackAndUpdate) {
  ArchiveBuilder archive;
  for (std::uint32_t slot = 0; slot <= 0xFFFF; ++slot) {
    const auto key = static_cast<std::uint16_t>(slot);
    const std::string name(LookupKnownName(key));
    if (name.empty())
      continue;
    const auto side = static_cast<std::uint16_t>(1 + key % 9);
    archive.Add(key, FileOfMember(name).picture
                         ? RawPicture(side, side / 2 + 1, static_cast<std::uint8_t>(key))
                         : Noise(key % 50, key));
  }
  archive.Add(NameKey("overmain.bmp"), RawPicture(0, 3, 9)); // an empty file: keeps BASE's bytes
  const std::string base = Write("base.agg", archive.Build());
  // Fewer colours than indices: indices past the template's own colours must survive too.
  Write("TivPalette.bmp", TemplateFile(TemplateLayout().Colours(200)));
  Unpack("base.agg", "unpacked");
  Update("base.agg", "unpacked");
  EXPECT_EQ(ReadWholeFile(At("out.agg")), ReadWholeFile(base));
}

TEST_F(VexaggTest, GapsOverlapsAndDisorderUnpackToTheSameFiles) {
  Bytes blob = Noise(64, 5);
  blob[32] = 3, blob[33] = 0, blob[34] = 2, blob[35] = 0; // a 3 x 2 picture head at blob + 30
  constexpr std::int32_t data = 2 + 10 * 0xFFFF;          // as many entries as the count holds
  ArchiveBuilder archive;
  archive.Add(NameKey("kb.pal"), blob);
  archive.AddRaw({NameKey("font.icn"), data + 8, 20});  // inside kb.pal
  archive.AddRaw({NameKey("spells.icn"), data + 2, 4}); // before font.icn
  archive.AddRaw({NameKey("left.bmp"), data + 30, 12}); // a picture, gap before it
  for (int entry = 4; entry < 0xFFFF; ++entry) // empty, anywhere, up to the most a count holds
    archive.AddRaw({NameKey("combat.pal"), -7, 0});
  Write("base.agg", archive.Build());
  Write("TivPalette.bmp", TemplateFile({}));
  Unpack("base.agg", "before");
  Update("base.agg", "before");
  Unpack("out.agg", "after");
  for (const char* name : {"kb.pal", "font.icn", "spells.icn", "left.bmp", "combat.pal"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ReadWholeFile(InFolder("after", name)), ReadWholeFile(InFolder("before", name)));
  }
}

TEST_F(VexaggTest, EachMemberComesFromItsFileOrFromBase) {
  ArchiveBuilder archive;
  archive.Add(NameKey("kb.pal"), Noise(10, 1));              // an earlier entry of a name: BASE
  archive.Add(NameKey("overmain.bmp"), RawPicture(2, 1, 7)); // an empty file: BASE
  archive.Add(NameKey("left.bmp"), RawPicture(4, 4, 3));     // from its file, tag kept
  archive.Add(NameKey("combat.pal"), Noise(4, 5));           // emptied: at OUT's offset
  archive.Add(NameKey("heroes.bmp"), {1, 2, 3, 0, 1, 0, 5, 6, 7}); // one index edited
  archive.Add(NameKey("kb.pal"), Noise(12, 2));                    // the last entry: its file
  archive.Add(NameKey("font.icn"), Noise(5, 3));                   // no file: BASE
  archive.Add(NameKey("spells.icn"), Noise(0x100001, 6));          // over 1 MiB, unchanged: no line
  Write("base.agg", archive.Build());
  Write("TivPalette.bmp", TemplateFile({}));
  Write("f/kb.pal", Noise(3, 4));
  Write("f/combat.pal", {});
  Write("f/heroes.bmp", BitmapFile(Layout(8, 3, 1, TestColours(256)), {5, 6, 8, 0}));
  Write("f/spells.icn", Noise(0x100001, 6));
  Write("f/overmain.bmp", {});
  const Colour c = TestColours(10)[9]; // then one step away from it
  Write("f/left.bmp", BitmapFile(Layout(24, 2, 1), {c.blue, c.green, c.red, c.blue, c.green,
                                                    std::uint8_t(c.red + 1), 0, 0}));
  Write("f/notes.txt", {});    // matches nothing
  Write("f/overmain.gif", {}); // a picture in a format not read
  Write("f/sub/kb.pal", {});   // nor does a subfolder
  TUpdateRequest resize;
  resize.resize = true;
  EXPECT_EQ(Update("base.agg", "f", resize),
            "left.bmp\treplaced\t2\t1\ncombat.pal\treplaced\nheroes.bmp\treplaced\t1\t0\n"
            "kb.pal\treplaced\n"
            "left out: notes.txt (no member of BASE has this name)\nleft out: overmain.gif (looks "
            "like overmain.bmp: save it as a BMP or PNG file)\nleft out: sub (a folder)\n"
            "Members replaced: 4, added: 0; files left out: 3\n");
  ArchiveBuilder out; // the same directory, the members one after another
  out.Add(NameKey("kb.pal"), Noise(10, 1));
  out.Add(NameKey("overmain.bmp"), RawPicture(2, 1, 7));
  out.Add(NameKey("left.bmp"), {3, 4, 2, 0, 1, 0, 9, 9});
  out.AddRaw({NameKey("combat.pal"), 2 + 10 * 8 + 10 + 8 + 8, 0}); // after the three before
  out.Add(NameKey("heroes.bmp"), {1, 2, 3, 0, 1, 0, 5, 6, 8});
  out.Add(NameKey("kb.pal"), Noise(3, 4));
  out.Add(NameKey("font.icn"), Noise(5, 3));
  out.Add(NameKey("spells.icn"), Noise(0x100001, 6));
  EXPECT_EQ(ReadWholeFile(At("out.agg")), out.Build());
}

TEST_F(VexaggTest, ColoursBecomeTheTemplatesIndices) {
  // White; red twice (the lower index wins); blue and green, equally far from (0, 100, 100).
  const std::vector<Colour> palette{
      {255, 255, 255}, {200, 0, 0}, {200, 0, 0}, {0, 0, 200}, {0, 200, 0}};
  TemplateLayout t = TemplateLayout().Colours(5);
  t.colours = palette;
  Write("TivPalette.bmp", TemplateFile(t));
  std::vector<Colour> unpacked = palette; // the table the unpack writes: black after
  unpacked.resize(256, {0, 0, 0});
  std::vector<Colour> other = unpacked;
  other[7] = {1, 1, 1};
  const Bytes bgr4{0, 0, 200, 210, 0, 0, 100, 100, 0, 255, 255, 255}; // red, ~blue, tie, white
  const Bytes bgrx4{0, 0, 200, 9, 210, 0, 0, 9, 100, 100, 0, 9, 255, 255, 255, 9};
  const TemplateLayout core = Layout(8, 3, 1, unpacked).Header(12), l24 = Layout(24, 4, 1);
  const TemplateLayout unpacked8 = Layout(8, 3, 1, unpacked), other8 = Layout(8, 3, 1, other);
  const TemplateLayout four = Layout(4, 4, 1, {{0, 0, 200}, {0, 190, 0}});
  const Bytes px8 = {200, 3, 2, 0}; // indices 200, 3, 2 and a byte of padding
  const TemplateLayout l565 = Layout(16, 3, 1, {}, {0xF800, 0x7E0, 0x1F});
  const TemplateLayout a16 = Layout(16, 2, 1, {}, {0x7C00, 0x3E0, 0x1F}, 0x8000);
  const TemplateLayout a32 = Layout(32, 3, 1, {}, {0xFF0000, 0xFF00, 0xFF}, 0xFF000000);
  const Bytes bgra3{200, 0, 0, 0, 0, 0, 200, 128, 255, 255, 255, 255}; // 0, half, full alpha
  const struct {
    const char* what;
    TemplateLayout file;
    Bytes rows, indices;
    std::uint64_t changed, inexact;
    Bytes base = {};    // BASE's indices, of the file's size; none when empty
    Bytes covered = {}; // what an RLE stream left in: 0 for a pixel it skipped
    Bytes colourAlpha = {};
    std::optional<std::uint8_t> transparentIndex = {};
    std::array<std::uint64_t, 2> transparentAndPartly = {};
  } rows[] = {
      {"24-bit", l24, bgr4, {1, 3, 3, 0}, 4, 2},
      {"32-bit masks", Layout(32, 4, 1, {}, {0xFF0000, 0xFF00, 0xFF}), bgrx4, {1, 3, 3, 0}, 4, 2},
      {"5-6-5", Layout(16, 2, 1, {}, {0xF800, 0x7E0, 0x1F}), {0xFF, 0xFF, 0, 0xF8}, {0, 1}, 2, 1},
      {"5-5-5", Layout(16, 2, 1), {0x1F, 0, 0xFF, 0x7F}, {3, 0}, 2, 1},
      {"4-bit", four, {0x01, 0x10, 0, 0}, {3, 4, 4, 3}, 4, 2},
      {"1-bit", Layout(1, 3, 1, {{255, 255, 255}, {0, 200, 0}}), {0xA0, 0, 0, 0}, {4, 0, 4}, 3, 0},
      {"8-bit, the unpack's table", unpacked8, px8, {200, 3, 2}, 3, 0},
      {"8-bit, the unpack's table in 3 bytes", core, px8, {200, 3, 2}, 3, 0},
      {"8-bit, another table", other8, px8, {1, 3, 1}, 3, 1},
      {"bottom-up", Layout(24, 1, 2), {255, 255, 255, 0, 0, 0, 200, 0}, {1, 0}, 2, 0},
      {"top-down", Layout(24, 1, -2), {255, 255, 255, 0, 0, 0, 200, 0}, {0, 1}, 2, 0},
      // BASE's second red stays; ~blue is not BASE's black, and maps to 3; the tie changes;
      // white stays.
      {"24-bit over BASE", l24, bgr4, {2, 3, 3, 0}, 2, 2, {2, 7, 0, 0}},
      // Red stands at 1 and 2: BASE's 2 stays where the pixel is red, not where it is black.
      {"8-bit, another table, over BASE", other8, px8, {1, 3, 2}, 1, 1, {2, 3, 2}},
      {"8-bit, the unpack's table, over BASE", unpacked8, px8, {200, 3, 2}, 1, 0, {200, 3, 1}},
      {"BASE of another size", l24, bgr4, {1, 3, 3, 0}, 4, 2, {2, 3, 0}},
      {"pixels left out keep BASE's", l24, bgr4, {2, 0, 3, 9}, 1, 1, {2, 0, 9, 9}, {1, 0, 1, 0}},
      {"pixels left out of a new picture are 0", l24, bgr4, {1, 0, 3, 0}, 4, 1, {}, {1, 0, 1, 0}},
      // BASE's red (200) cut to 5 bits is 25, ImageMagick's and rounded 24; 23 is an edit.
      {"5-6-5 over BASE", l565, {0, 0xC0, 0, 0xC8, 0, 0xB8, 0, 0}, {2, 2, 1}, 1, 1, {2, 2, 2}},
      {"32-bit alpha", a32, bgra3, {4, 1, 0}, 3, 0, {}, {}, {}, 4, {1, 1}},
      {"1-5-5-5 alpha", a16, {0x1F, 0, 255, 255}, {9, 0}, 2, 0, {}, {}, {}, 9, {1, 0}},
      {"8-bit alpha", unpacked8, px8, {200, 5, 2}, 3, 0, {}, {}, {0, 0, 9, 0}, 5, {1, 1}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    TPictureReader reader(At("TivPalette.bmp"), row.transparentIndex);
    TBmpFileContents file = ReadBmpFile(Write("picture.bmp", BitmapFile(row.file, row.rows)),
                                        TBmpPixels::AtPixelOffset);
    file.covered = row.covered, file.colourAlpha = row.colourAlpha;
    const auto width = static_cast<std::uint16_t>(row.file.width);
    reader.Convert(file, {{width, static_cast<std::uint16_t>(row.base.size() / width)}, row.base});
    EXPECT_EQ(reader.Indices(), row.indices);
    EXPECT_EQ(reader.ChangedPixels(), row.changed);
    EXPECT_EQ(reader.InexactPixels(), row.inexact);
    EXPECT_EQ((std::array{reader.TransparentPixels(), reader.PartlyTransparentPixels()}),
              row.transparentAndPartly);
  }
}

// Index 0's colour, (3, 255, 1), half opaque keeps BASE's 0; a transparent pixel is given 0.
TEST_F(VexaggTest, PixelsWhoseOpacityIsSetAsideAreTold) {
  ArchiveBuilder archive;
  archive.Add(NameKey("left.bmp"), {0, 0, 2, 0, 1, 0, 0, 0});
  Write("base.agg", archive.Build());
  Write("TivPalette.bmp", TemplateFile({}));
  Write("f/left.bmp", BitmapFile(Layout(32, 2, 1, {}, {0xFF0000, 0xFF00, 0xFF}, 0xFF000000),
                                 {1, 255, 3, 128, 0, 0, 0, 0}));
  TUpdateRequest transparent;
  transparent.transparentIndex = 0;
  EXPECT_EQ(Update("base.agg", "f", transparent),
            "left.bmp\tunchanged\t0\t0\t1 transparent\t1 partly transparent\n"
            "Members replaced: 0, added: 0; files left out: 0\n");
}

TEST_F(VexaggTest, FailuresLeaveOutAsItWas) {
  ArchiveBuilder archive;
  archive.Add(NameKey("kb.pal"), Noise(10, 1));
  archive.Add(NameKey("overmain.bmp"), RawPicture(2, 1, 0));
  Write("base.agg", archive.Build());
  const Bytes picture = BitmapFile(Layout(8, 2, 1, {{0, 0, 0}, {1, 1, 1}}), {0, 5, 0, 0});
  const std::string bmp = InFolder("f", "overmain.bmp"), f = InFolder("f", "");
  const std::string png = "\x89PNG\r\n\x1a\n",
                    jpeg = "A JPEG file loses colours as it is saved, so it cannot stand for "
                           "overmain.bmp: save the picture as a BMP or PNG file | ";
#ifdef _WIN32
  // A folder of Windows holds one file of a name in any case: two of the three are left.
  const std::string three = "Two files match the member overmain.bmp: \"overmain.bmp\" and "
                            "\"overmain.png\"; keep only one | ";
#else
  const std::string three = "3 files match the member overmain.bmp: \"OVERMAIN.bmp\", "
                            "\"overmain.bmp\" and \"overmain.png\"; keep only one | ";
#endif
  const struct {
    const char* file;
    Bytes bytes;
    std::uintmax_t size; // for a sparse file in place of `bytes`
    std::string failure;
    Bytes palette = TemplateFile({});
    std::vector<std::string> alike = {}; // more files of `bytes`
  } rows[] = {
      {"OverMain.PNG", Bytes(png.begin(), png.end()), 0,
       "The PNG file is cut short: it ends before its IEND chunk | " +
           InFolder("f", "OverMain.PNG")},
      {"overmain.JPG", {}, 0, jpeg + InFolder("f", "overmain.JPG")},
      {"overmain.bmp", picture, 0, three + f, TemplateFile({}), {"OVERMAIN.bmp", "overmain.png"}},
      {"overmain.bmp", Bytes(64, 'X'), 0, "Bitmap image is not valid | " + bmp},
      {"overmain.bmp", TemplateFile(Layout(1, 65536, 1, {{0, 0, 0}, {1, 1, 1}})), 0,
       "Picture wider or taller than 65535 pixels | " + bmp},
      {"overmain.bmp", Bytes(picture.begin(), picture.end() - 3), 0,
       "The file ends before its last pixel row: its pixels need 2 bytes, the file holds 1 | " +
           bmp},
      {"overmain.bmp", picture, 0, "Bitmap image is not valid | " + bmp}, // index 5 of 2 colours
      {"overmain.bmp", BitmapFile(Layout(24, 1, 2), Bytes(8, 0)), 0,
       "Picture is 1x2 pixels, BASE's is 2x1; --resize takes the new size | " + bmp},
      {"overmain.bmp",
       BitmapFile(Layout(32, 2, 1, {}, {0xFF0000, 0xFF00, 0xFF}, 0xFF000000), Bytes(8, 0)), 0,
       "2 pixels are transparent (alpha 0), which a picture cannot hold: --transparent INDEX "
       "gives them that index | " +
           bmp},
      {"kb.pal", {}, 0x80000000u, "Archive too large | kb.pal"},
      {"kb.pal", {}, 0x7FFFFFFFu, "Archive too large | overmain.bmp"},
      // Before the pixels: a template of masks that only a picture with pixels names as deeper.
      {"overmain.bmp", picture, 0, "Palette template is not an 8-bit bitmap | " + bmp,
       TemplateFile(TemplateLayout().Bits(16).Masks(0x7C00, 0x3E0, 0x1F))},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.failure);
    Write("TivPalette.bmp", row.palette);
    fs::remove_all(At("f"));
    const std::string file = Write("f/" + std::string(row.file), row.bytes);
    if (row.size != 0)
      fs::resize_file(file, row.size);
    for (const std::string& name : row.alike)
      Write("f/" + name, row.bytes);
    Write("out.agg", {'o', 'l', 'd'});
    const auto before = std::distance(fs::directory_iterator(Folder()), {});
    EXPECT_EQ(Update("base.agg", "f"), row.failure);
    EXPECT_EQ(ReadWholeFile(At("out.agg")), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), {}), before);
  }
}

// extract --palette: the pictures' colour table is the palette's (blue, green, red, 0; black
// after), read from the archive's last kb.pal or from a file, and no template file is needed.
TEST_F(VexaggTest, APaletteOfTheArchiveOrAFileColoursTheExtract) {
  Bytes vga, widened(1024, 0), asEight(1024, 0), gpl(1024, 0);
  for (int i = 0; i < 768; ++i) { // value i is entry i / 3's red, green or blue
    vga.push_back(static_cast<std::uint8_t>(i * 5 % 64)); // 6-bit values, as VGA holds them
    asEight[i / 3 * 4 + 2 - i % 3] = vga[i];
    widened[i / 3 * 4 + 2 - i % 3] = static_cast<std::uint8_t>(vga[i] << 2 | vga[i] >> 4);
  }
  gpl[0] = 30, gpl[1] = 20, gpl[2] = 10, gpl[4] = 60, gpl[5] = 50, gpl[6] = 40;
  ArchiveBuilder archive;
  archive.Add(NameKey("kb.pal"), Noise(768, 9)); // the earlier of two: not the one read
  archive.Add(NameKey("kb.pal"), vga);
  archive.Add(NameKey("left.bmp"), RawPicture(3, 2, 1));
  Write("a.agg", archive.Build());
  const std::string text = "GIMP Palette\n10 20 30\n40 50 60\n";
  const std::tuple<std::string, TPaletteBits, Bytes> rows[] = {
      {"kb.pal", TPaletteBits::Guess, widened},
      {"KB.PAL", TPaletteBits::Eight, asEight},
      {Write("two.gpl", Bytes(text.begin(), text.end())), TPaletteBits::Guess, gpl}};
  for (const auto& [palette, bits, table] : rows) {
    SCOPED_TRACE(palette);
    const TPaletteTemplate made = ExtractionTemplate(At("a.agg"), palette, bits);
    TUnpackChoice choice;
    choice.paletteTemplate = &made;
    UnpackArchive(At("a.agg"), *FolderSink(InFolder("out", "")), At("none.bmp"), choice);
    const Bytes bmp = ReadWholeFile(InFolder("out", "left.bmp"));
    ASSERT_EQ(bmp.size(), 14u + 40 + 1024 + 2 * 4);
    EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.begin() + 1078), table);
  }
}

// The page --open writes when no OUT.html is given: one name per archive name, found from the
// archive's file name by the system's own rules.
TEST(TemporaryGalleryPath, TheArchivesNameWithoutItsFolderAndExtension) {
  const TPathSyntax posix{"/", '/', nullptr};
  const TPathSyntax windows{"\\:", '\\', nullptr};
  const struct {
    const TPathSyntax* syntax;
    const char* archive;
    const char* page;
  } rows[] = {
      {&posix, "data.agg", "/tmp/marlovexine-gallery-data.html"},
      {&posix, "games/heroes.v2/data.agg", "/tmp/marlovexine-gallery-data.html"},
      {&posix, "games.v2/heroes", "/tmp/marlovexine-gallery-heroes.html"},
      {&posix, "a/b.c.agg", "/tmp/marlovexine-gallery-b.c.html"},
      {&posix, "old\\x.agg", "/tmp/marlovexine-gallery-old\\x.html"},
      {&posix, "games/.agg", "/tmp/marlovexine-gallery.html"},
      {&windows, "D:\\Games\\HEROES2.AGG", "/tmp/marlovexine-gallery-HEROES2.html"},
      {&windows, "D:heroes.agg", "/tmp/marlovexine-gallery-heroes.html"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.archive);
    EXPECT_EQ(TemporaryGalleryPath("/tmp/", row.archive, *row.syntax), row.page);
  }
}

} // namespace
