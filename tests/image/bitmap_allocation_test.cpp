// Tests that a template's claims cost no memory beyond what its file holds, and that writing
// reuses its buffer.
#include "bitmap.h"
#include "exceptions.h"

#include "allocation_watch.h"
#include "temp_folder.h"
#include "template_file.h"

#include <gtest/gtest.h>

#include <functional>

namespace vex {
namespace {

using vextest::TemplateBytes;
using vextest::TTemplate;

// Far below any store that a claimed size would need, far above what the test files hold.
constexpr std::size_t Small = 64 * 1024;

std::size_t LargestAllocationOf(const std::function<void()>& action) {
  vextest::ResetLargestAllocation();
  action();
  return vextest::LargestAllocation();
}

class BitmapAllocationTest : public vextest::TempFolderTest {
protected:
  std::string Path(const std::string& name) const { return FolderString() + name; }
};

TEST_F(BitmapAllocationTest, ClaimsInTheHeaderAllocateNothingLarge) {
  // 40000 × 40000 at 8 bits and 40000 × 10000 at 32 bits fit the store's limit, so they are
  // read; the others are refused.
  TTemplate square{40, 40000, 40000};
  TTemplate wide{40, 40000, 10000, 1, 32, 3, 0, 0, {0xFF0000, 0xFF00, 0xFF}};
  TTemplate huge{40, 3000000, 2000000};
  auto badColours = TemplateBytes({});
  badColours[46] = 0x34, badColours[47] = 0x12, badColours[48] = 0x34, badColours[49] = 0x12;
  auto badHeader = TemplateBytes({});
  badHeader[17] = 0xF0; // header size 0xF0000028
  auto wideBytes = [&] {
    wide.pixels = false;
    auto bytes = TemplateBytes(wide);
    bytes[34] = bytes[35] = bytes[36] = bytes[37] = 0xFF; // image size 4294967295
    bytes.insert(bytes.end(), 12, 0x42);
    return bytes;
  }();
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool reads;
  } rows[] = {
      {"40000 x 40000 pixels",
       [&] {
         square.pixels = false;
         return TemplateBytes(square);
       }(),
       true},
      {"40000 x 10000 pixels, image size 4294967295", wideBytes, true},
      {"3000000 x 2000000 pixels",
       [&] {
         huge.pixels = false;
         return TemplateBytes(huge);
       }(),
       false},
      {"305402420 colours", badColours, false},
      {"header size 4026531880", badHeader, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    vextest::WriteWholeFile(Path("t.bmp"), row.bytes);
    TBitmap bitmap;
    bool read = false;
    EXPECT_LT(LargestAllocationOf([&] {
                try {
                  bitmap.ReadBitmapFile(Path("t.bmp"));
                  read = true;
                } catch (const Exception&) {
                }
              }),
              Small);
    EXPECT_EQ(read, row.reads);
  }
}

// The conversion's steps, and a Resize that keeps the old picture, on a template that claims
// 1.6 GB of pixels: neither makes its store real. The template is top-down, so the bytes its
// file holds are the top-left of its picture.
TEST_F(BitmapAllocationTest, RebuildingAHugeTemplateNeedsOnlyTheNewImage) {
  TTemplate square{40, 40000, -40000};
  square.pixels = false;
  auto bytes = TemplateBytes(square);
  bytes.insert(bytes.end(), 100, 0x42);
  vextest::WriteWholeFile(Path("t.bmp"), bytes);
  for (const bool emptyFirst : {true, false}) {
    SCOPED_TRACE(emptyFirst ? "emptied first" : "resized directly");
    TBitmap bitmap;
    bitmap.ReadBitmapFile(Path("t.bmp"));
    EXPECT_LT(LargestAllocationOf([&] {
                if (emptyFirst)
                  bitmap.SetHeight(0);
                bitmap.Resize(7, 3);
                bitmap.RowAddress(2)[6] = 1;
                bitmap.WriteBitmapFile(Path("out.bmp"));
              }),
              Small);
    EXPECT_EQ(bitmap.RowAddress(0)[0], emptyFirst ? 0xFF : 0x42);
  }
}

TEST_F(BitmapAllocationTest, WritingAgainReusesTheBuffer) {
  vextest::WriteWholeFile(Path("t.bmp"), TemplateBytes({}));
  TBitmap bitmap;
  bitmap.ReadBitmapFile(Path("t.bmp"));
  constexpr std::size_t fileSize = 1078 + 8 * 3;
  EXPECT_GE(LargestAllocationOf([&] { bitmap.WriteBitmapFile(Path("a.bmp")); }), fileSize);
  EXPECT_LT(LargestAllocationOf([&] { bitmap.WriteBitmapFile(Path("b.bmp")); }), fileSize);
}

} // namespace
} // namespace vex
