// Tests that a template's claims cost no memory beyond what its file holds, and that writing
// reuses its buffer.
#include "bitmap.h"
#include "exceptions.h"
#include "palette_template.h"

#include "allocation_watch.h"
#include "bmp_builder.h"
#include "template_folder_test.h"

#include <gtest/gtest.h>

#include <functional>

namespace vex {
namespace {

using vextest::TemplateFile;
using vextest::TemplateLayout;

// Far below any store that a claimed size would need, far above what the test files hold.
constexpr std::size_t Small = 64 * 1024;

std::size_t LargestAllocationOf(const std::function<void()>& action) {
  vextest::ResetLargestAllocation();
  action();
  return vextest::LargestAllocation();
}

class BitmapAllocationTest : public vextest::TemplateFolderTest {};

TEST_F(BitmapAllocationTest, ClaimsInTheHeaderAllocateNothingLarge) {
  // 40000 × 40000 at 8 bits and 40000 × 10000 at 32 bits fit the store's limit, so they are
  // read; the others are refused. None of the files holds its pixels.
  const auto claim = [](TemplateLayout t) {
    t.pixels = false;
    return TemplateFile(t);
  };
  auto wide = claim(TemplateLayout().Size(40000, 10000).Bits(32).Masks(0xFF0000, 0xFF00, 0xFF));
  wide = vextest::Patched(wide, 34, 0xFFFFFFFF); // image size
  wide.insert(wide.end(), 12, 0x42);
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool reads;
  } rows[] = {
      {"40000 x 40000 pixels", claim(TemplateLayout().Size(40000, 40000)), true},
      {"40000 x 10000 pixels, image size 4294967295", wide, true},
      {"3000000 x 2000000 pixels", claim(TemplateLayout().Size(3000000, 2000000)), false},
      {"305402420 colours", vextest::Patched(TemplateFile({}), 46, 305402420), false},
      {"header size 4026531880", vextest::Patched(TemplateFile({}), 14, 4026531880), false},
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

// The conversion's steps on a template that claims 1.6 GB of pixels: reading it, rebuilding
// the bitmap in its format, drawing and writing never make the template's store real.
TEST_F(BitmapAllocationTest, RebuildingAHugeTemplateNeedsOnlyTheNewImage) {
  TemplateLayout square = TemplateLayout().Size(40000, 40000);
  square.pixels = false;
  const std::string path = WriteTemplate(square);
  TBitmap bitmap;
  EXPECT_LT(LargestAllocationOf([&] {
              bitmap.Rebuild(TPaletteTemplate::Read(path), 7, 3);
              bitmap.RowAddress(2)[6] = 1;
              bitmap.WriteBitmapFile(Path("out.bmp"));
            }),
            Small);
}

TEST_F(BitmapAllocationTest, WritingAgainReusesTheBuffer) {
  TBitmap bitmap = Read({});
  constexpr std::size_t fileSize = 1078 + 8 * 3;
  EXPECT_GE(LargestAllocationOf([&] { bitmap.WriteBitmapFile(Path("a.bmp")); }), fileSize);
  EXPECT_LT(LargestAllocationOf([&] { bitmap.WriteBitmapFile(Path("b.bmp")); }), fileSize);
}

} // namespace
} // namespace vex
