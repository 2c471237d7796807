// Pixel rectangles from a buffer into a bitmap: clipping on every side and both row orders.
// (The pixel-format rule is in the bitmap tests' table of formats.)
#include "exceptions.h"
#include "palette_template.h"
#include "template_folder_test.h"
#include "vex_graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace vex;
using vextest::TemplateLayout;

namespace {

class PixelRectTest : public vextest::TemplateFolderTest {
protected:
  // A bitmap of width x height in the format of template `t`, every pixel byte 0.
  TBitmap Bitmap(std::int32_t width, std::int32_t height, TemplateLayout t = {}) {
    TBitmap bitmap = Read(t);
    bitmap.Rebuild(TPaletteTemplate(bitmap), width, height);
    for (std::int32_t y = 0; y < height; ++y)
      std::fill_n(bitmap.RowAddress(y), bitmap.Stride(), std::uint8_t{0});
    return bitmap;
  }
  // The picture's rows, top first, each `width` bytes (8-bit bitmaps).
  static std::vector<std::string> Rows(TBitmap& bitmap) {
    std::vector<std::string> rows;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
      const std::uint8_t* row = bitmap.RowAddress(y);
      std::string text;
      for (std::int32_t x = 0; x < bitmap.Width(); ++x)
        text += static_cast<char>(row[x] == 0 ? '.' : 'a' + row[x] - 1);
      rows.push_back(text);
    }
    return rows;
  }
};

// The buffer holds the rectangle; its bytes are 1, 2, 3, ... so each copied pixel shows where
// in the buffer it came from ('a' is offset 0).
TEST_F(PixelRectTest, ClipsOnEverySide) {
  const struct {
    TPixelRect rect;
    std::vector<std::string> rows;
  } cases[] = {
      // The worked example: P = 3, the copy starts at offset 4 and takes 4..5 and 7..8.
      {{-1, -1, 2, 2}, {"ef..", "hi..", "....", "...."}},
      {{2, 1, 6, 3}, {"....", "..ab", "..ef", "...."}},   // right side clipped
      {{1, 3, 3, 6}, {"....", "....", "....", ".ab."}},   // bottom clipped
      {{-2, 2, 1, 3}, {"....", "....", "c...", "...."}},  // left clipped
      {{0, -3, 1, 1}, {"d...", "....", "....", "...."}},  // top clipped
      {{-1, -1, 5, 5}, {"hijk", "nopq", "tuvw", "z{|}"}}, // larger than the bitmap
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.rect.left << "," << c.rect.top << "," << c.rect.right
                                      << "," << c.rect.bottom);
    TBitmap bitmap = Bitmap(4, 4);
    std::vector<std::uint8_t> buffer(64);
    std::iota(buffer.begin(), buffer.end(), std::uint8_t{1});
    CopyPixelRectFromBuffer(buffer.data(), bitmap, c.rect);
    EXPECT_EQ(Rows(bitmap), c.rows);
  }
}

// Rows are reached through the bitmap, whichever way its store runs: a bitmap read from a
// top-down file keeps its top row first in memory, a rebuilt one its bottom row.
TEST_F(PixelRectTest, CopiesInEitherRowOrder) {
  const TemplateLayout topDown = TemplateLayout().Size(5, -3);
  for (const bool rebuilt : {true, false}) {
    SCOPED_TRACE(rebuilt ? "bottom-up" : "top-down");
    TBitmap bitmap = rebuilt ? Bitmap(5, 3) : Read(topDown);
    std::vector<std::uint8_t> in(15);
    std::iota(in.begin(), in.end(), std::uint8_t{1});
    CopyPixelRectFromBuffer(in.data(), bitmap, {0, 0, 5, 3});
    for (std::int32_t y = 0; y < 3; ++y)
      for (std::int32_t x = 0; x < 5; ++x)
        EXPECT_EQ(bitmap.RowAddress(y)[x], in[y * 5 + x]) << x << "," << y;
  }
}

TEST_F(PixelRectTest, RectanglesOutsideCopyNothingAndNeverAskTheFormat) {
  // A 1-bit bitmap: any copy that reached the format rule would fail its assertion.
  TBitmap bitmap = Bitmap(4, 4, TemplateLayout().Bits(1));
  std::uint8_t buffer[16] = {};
  for (const TPixelRect rect : {TPixelRect{-3, 0, 0, 4}, TPixelRect{0, -2, 4, 0},
                                TPixelRect{4, 0, 9, 4}, TPixelRect{0, 4, 4, 7}})
    CopyPixelRectFromBuffer(buffer, bitmap, rect);
  EXPECT_THROW(CopyPixelRectFromBuffer(buffer, bitmap, {0, 0, 1, 1}), EAssertionFailed);
}

} // namespace
