// The BMP Suite, public conformance images that nobody here wrote: every file either reads or
// is refused with one of the bitmap failures, and every file usable as a palette template
// converts a picture of every index for check_with_readers.py, which opens the results with
// the bitmap readers that users have.
#include "bitmap.h"
#include "exceptions.h"
#include "palette_template.h"
#include "raw_image.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vex {
namespace {

namespace fs = std::filesystem;

const fs::path SuiteFolder = VEX_BMPSUITE_DIR;

// Also in check_with_readers.py: the converted picture. Its rows need padding, and its first
// 256 pixels take every index once (37 is odd) in an order that no flip or shift keeps.
constexpr int PictureWidth = 19;
constexpr int PictureHeight = 14;
std::uint8_t SuitePattern(int x, int y) {
  return static_cast<std::uint8_t>(((y * PictureWidth + x) * 37 + 11) % 256);
}

// The files PROVENANCE.md marks as templates, with the colours each keeps. q/pal8os2sp.bmp
// has room for 252 entries before its pixels, but a core header's 8-bit table has 256 and the
// pixel offset is not used, so its table takes 4 entries' worth of pixel bytes.
struct TSuiteTemplate {
  const char* file;
  std::size_t colours;
  bool core;
};
constexpr TSuiteTemplate Templates[] = {
    {"g/pal8-0.bmp", 256, false},       {"g/pal8.bmp", 252, false},
    {"g/pal8gs.bmp", 252, false},       {"g/pal8nonsquare.bmp", 252, false},
    {"g/pal8os2.bmp", 256, true},       {"g/pal8topdown.bmp", 252, false},
    {"g/pal8v4.bmp", 252, false},       {"g/pal8v5.bmp", 252, false},
    {"g/pal8w124.bmp", 252, false},     {"g/pal8w125.bmp", 252, false},
    {"g/pal8w126.bmp", 252, false},     {"q/pal8offs.bmp", 252, false},
    {"q/pal8os2-hs.bmp", 256, true},    {"q/pal8os2-sz.bmp", 256, true},
    {"q/pal8os2sp.bmp", 256, true},     {"q/pal8os2v2-40sz.bmp", 252, false},
    {"q/pal8os2v2-sz.bmp", 252, false}, {"q/pal8os2v2.bmp", 252, false},
    {"b/pal8badindex.bmp", 101, false},
};

std::vector<fs::path> SuiteFiles() {
  std::vector<fs::path> files;
  for (const char* folder : {"g", "q", "b"})
    for (const auto& entry : fs::directory_iterator(SuiteFolder / folder))
      if (entry.path().extension() == ".bmp")
        files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Reads `path`; returns the failure's class name, or "" when it reads. Any other failure
// than the four a bad bitmap file may give fails the test.
std::string ReadOutcome(TBitmap& bitmap, const fs::path& path) {
  try {
    bitmap.ReadBitmapFile(path.string());
    return "";
  } catch (const EReadError&) {
    return "EReadError";
  } catch (const EInvalidGraphic&) {
    return "EInvalidGraphic";
  } catch (const EOSError&) {
    return "EOSError";
  } catch (const EOutOfResources&) {
    return "EOutOfResources";
  } catch (const std::exception& e) {
    ADD_FAILURE() << "unexpected failure: " << e.what();
    return "other";
  }
}

class BmpSuiteTest : public vextest::TempFolderTest {
protected:
  void SetUp() override {
    // The suite is part of the repository: a missing folder is a broken checkout or build,
    // never a reason to pass quietly.
    ASSERT_TRUE(fs::is_directory(SuiteFolder)) << "BMP Suite folder absent: " << SuiteFolder;
    TempFolderTest::SetUp();
  }
};

// Whatever reads is also rebuilt at another size in its own format, drawn on, written and read
// back.
TEST_F(BmpSuiteTest, EveryFileReadsOrIsRefusedCleanly) {
  const auto files = SuiteFiles();
  EXPECT_EQ(files.size(), 88u);
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.string());
    TBitmap bitmap;
    if (!ReadOutcome(bitmap, path).empty())
      continue;
    bitmap.Rebuild(TPaletteTemplate(bitmap), 7, 5);
    const std::string out = FolderString() + "out.bmp";
    if (bitmap.IsDeviceDependent()) {
      EXPECT_THROW(bitmap.WriteBitmapFile(out), EInvalidGraphic);
      continue;
    }
    for (int y = 0; y < 5; ++y)
      bitmap.RowAddress(y)[0] = 1;
    bitmap.WriteBitmapFile(out);
    TBitmap again;
    again.ReadBitmapFile(out);
    EXPECT_EQ(again.Width(), 7);
    EXPECT_EQ(again.Height(), 5);
    EXPECT_EQ(again.HeldPixelFormat(), bitmap.HeldPixelFormat());
    EXPECT_EQ(again.CoreHeaderStyle(), bitmap.CoreHeaderStyle());
    std::vector<TPaletteEntry> table = bitmap.Palette(); // as written: black up to every index
    if (bitmap.HeldHeader().bitCount <= 8)
      table.resize(std::size_t{1} << bitmap.HeldHeader().bitCount);
    EXPECT_EQ(again.Palette(), table);
    EXPECT_EQ(again.RowAddress(4)[0], 1);
  }
}

TEST_F(BmpSuiteTest, NotableFilesGiveTheirFormatOrFailure) {
  struct Row {
    const char* file;
    const char* failure; // "" when it reads
    PixelFormat format = PixelFormat::Device;
  } rows[] = {
      {"b/reallybig.bmp", "EInvalidGraphic"},
      {"b/badpalettesize.bmp", "EInvalidGraphic"},
      {"q/pal8oversizepal.bmp", "EInvalidGraphic"},
      {"q/rgb24largepal.bmp", "EInvalidGraphic"},
      {"b/badplanes.bmp", "EInvalidGraphic"},
      {"b/badbitcount.bmp", "EInvalidGraphic"},
      {"b/badwidth.bmp", "EInvalidGraphic"},
      {"b/rletopdown.bmp", "EInvalidGraphic"},
      {"q/pal8os2v2-16.bmp", "EInvalidGraphic"},
      {"q/rgba64.bmp", "EInvalidGraphic"},
      {"q/pal2.bmp", "EInvalidGraphic"},
      {"g/pal8rle.bmp", "", PixelFormat::Device},
      {"q/rgb24jpeg.bmp", "", PixelFormat::Device},
      {"b/shortfile.bmp", "", PixelFormat::Bits1},
      {"b/badheadersize.bmp", "", PixelFormat::Bits1},
      {"g/pal4.bmp", "", PixelFormat::Bits4},
      {"g/rgb16.bmp", "", PixelFormat::Bits15},
      {"g/rgb16-565.bmp", "", PixelFormat::Bits16},
      {"g/rgb24.bmp", "", PixelFormat::Bits24},
      {"g/rgb32.bmp", "", PixelFormat::Bits32},
      {"g/rgb32bf.bmp", "", PixelFormat::Custom},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    TBitmap bitmap;
    EXPECT_EQ(ReadOutcome(bitmap, SuiteFolder / row.file), row.failure);
    if (*row.failure == '\0') {
      EXPECT_EQ(bitmap.HeldPixelFormat(), row.format);
    }
  }
}

// Writes into $VEX_BMPSUITE_OUT when set (the CTest run that check_with_readers.py follows),
// else into the test's own folder.
TEST_F(BmpSuiteTest, TemplatesConvertAPictureOfEveryIndex) {
  fs::path out = Folder();
  if (const char* folder = std::getenv("VEX_BMPSUITE_OUT")) {
    out = folder;
    fs::remove_all(out);
    fs::create_directories(out);
  }
  TByteDynArray member = {0, 0, PictureWidth, 0, PictureHeight, 0}; // tag, width, height
  for (int y = 0; y < PictureHeight; ++y)
    for (int x = 0; x < PictureWidth; ++x)
      member.push_back(SuitePattern(x, y));
  for (const TSuiteTemplate& t : Templates) {
    SCOPED_TRACE(t.file);
    TRawImageConverter converter((SuiteFolder / t.file).string());
    std::string name = t.file;
    std::replace(name.begin(), name.end(), '/', '_');
    converter.ConvertRawImage(member, (out / name).string());
    EXPECT_EQ(converter.Template()->Colours().size(), t.colours);
    EXPECT_EQ(converter.Template()->CoreHeaderStyle(), t.core);
  }
}

} // namespace
} // namespace vex
