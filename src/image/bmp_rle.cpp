// Decoding RLE8 and RLE4 code streams. A code is two bytes: a count of 1 to 255 repeats the
// second byte's index (RLE4: its two nibbles by turns); a count of 0 makes the second byte an
// escape: 0 ends the row, 1 ends the bitmap, 2 moves right and up by the next two bytes, and
// 3 to 255 are that many indices as they stand, padded to a 16-bit word. Rows run bottom-up.
// A code that would leave the stored rows is refused rather than wrapped or dropped: an editor
// that wrote it meant something other than what any reading of it would show. A row ends where
// its store does, padding included: ImageMagick and GraphicsMagick encode the padding of each
// row as pixels of index 0, and those pixels are dropped.
#include "bmp_rle.h"

#include "exceptions.h"

#include <string>

namespace vex {

namespace {

constexpr std::uint8_t EndOfLine = 0, EndOfBitmap = 1, Delta = 2;

class TRleDecoder {
public:
  TRleDecoder(const TByteDynArray& stream, std::uint16_t bitCount, std::uint32_t width,
              std::uint32_t rows, std::uint64_t stride, TRleTarget* target)
      : stream_(stream), bitCount_(bitCount), width_(width), rows_(rows), stride_(stride),
        rowEnd_(stride * 8 / bitCount), target_(target) {}

  void Run() {
    for (;;) {
      codeAt_ = position_;
      const std::uint8_t count = Next();
      const std::uint8_t value = Next();
      if (count != 0)
        Repeated(count, value);
      else if (value == EndOfLine)
        NextRow();
      else if (value == EndOfBitmap)
        return;
      else if (value == Delta)
        Move();
      else
        Absolute(value);
    }
  }

private:
  std::string Name() const { return bitCount_ == 8 ? "RLE8" : "RLE4"; }
  [[noreturn]] void Fail(const char* code, const char* fault) const {
    throw EInvalidGraphic("An " + Name() + " " + code + " at byte " + std::to_string(codeAt_) +
                          " of the pixel data " + fault);
  }
  [[noreturn]] void EndsEarly() const {
    throw EInvalidGraphic("The " + Name() + " pixel data ends before its end-of-bitmap code");
  }
  std::uint8_t Next() {
    if (position_ == stream_.size())
      EndsEarly();
    return stream_[position_++];
  }

  // Checks that `count` pixels fit from the current place on.
  void Reserve(std::uint32_t count) const {
    if (y_ >= rows_)
      Fail("run", "goes past the last row");
    if (count > rowEnd_ - x_)
      Fail("run", "goes past the end of its row");
  }
  void Put(std::uint8_t index) {
    if (target_ && x_ < width_) {
      std::uint8_t& byte =
          target_->pixels[static_cast<std::size_t>(y_ * stride_ + (bitCount_ == 8 ? x_ : x_ / 2))];
      if (bitCount_ == 8)
        byte = index;
      else if (x_ % 2 == 0)
        byte = static_cast<std::uint8_t>((byte & 0x0F) | index << 4);
      else
        byte = static_cast<std::uint8_t>((byte & 0xF0) | index);
      target_->covered[static_cast<std::size_t>((std::uint64_t{rows_} - 1 - y_) * width_ + x_)] = 1;
    }
    ++x_;
  }
  // RLE4 takes a byte's high nibble for the first pixel, its low one for the second.
  std::uint8_t IndexOf(std::uint8_t byte, std::uint32_t i) const {
    if (bitCount_ == 8)
      return byte;
    return static_cast<std::uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 0xF);
  }

  void Repeated(std::uint32_t count, std::uint8_t value) {
    Reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
      Put(IndexOf(value, i));
  }
  void Absolute(std::uint32_t count) {
    Reserve(count);
    const std::size_t bytes = bitCount_ == 8 ? count : (count + 1) / 2;
    const std::size_t padded = bytes + bytes % 2;
    if (padded > stream_.size() - position_)
      EndsEarly();
    for (std::uint32_t i = 0; i < count; ++i)
      Put(IndexOf(stream_[position_ + (bitCount_ == 8 ? i : i / 2)], i));
    position_ += padded;
  }
  // An end of line after the last row writes nothing, so it is let pass.
  void NextRow() {
    x_ = 0;
    if (y_ < rows_)
      ++y_;
  }
  void Move() {
    const std::uint8_t right = Next();
    const std::uint8_t up = Next();
    if (up > rows_ - y_)
      Fail("delta", "moves past the last row");
    if (right > rowEnd_ - x_)
      Fail("delta", "moves past the end of its row");
    x_ += right;
    y_ += up;
  }

  const TByteDynArray& stream_;
  const std::uint16_t bitCount_;
  const std::uint32_t width_, rows_;
  const std::uint64_t stride_;
  const std::uint64_t rowEnd_; // the pixels a stored row has room for, its padding included
  TRleTarget* const target_;
  std::size_t position_ = 0, codeAt_ = 0;
  std::uint64_t x_ = 0;
  std::uint32_t y_ = 0; // counts stored rows: 0 is the bottom one
};

} // namespace

void DecodeRle(const TByteDynArray& stream, std::uint16_t bitCount, std::uint32_t width,
               std::uint32_t rows, const TStoreGeometry& geometry, TRleTarget* target) {
  if (target) {
    target->pixels.assign(static_cast<std::size_t>(geometry.Bytes()), 0);
    target->covered.assign(std::size_t{width} * rows, 0);
  }
  TRleDecoder(stream, bitCount, width, rows, geometry.stride, target).Run();
}

} // namespace vex
