// Edited pictures: the bitmap files of an unpacked folder, read back as the palette indices
// that a picture member holds.
#pragma once

#include "colour_mapper.h"
#include "files.h"
#include "palette_template.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vex {

// Width and height of a picture; 0 x 0 stands for an empty file, which is what the unpack
// writes for a picture of width or height 0.
struct TPictureSize {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  bool Empty() const { return width == 0 || height == 0; }
  friend bool operator==(TPictureSize a, TPictureSize b) {
    return a.width == b.width && a.height == b.height;
  }
  friend bool operator!=(TPictureSize a, TPictureSize b) { return !(a == b); }
};

// Checks the bitmap file at `path` as a picture that can go back into an archive, reading all
// but its pixels, and returns its size. Raises what ReadBmpFile raises for a picture
// (TBmpPixels::CheckedOnly), RLE8 and RLE4 streams run through; EInvalidGraphic "Bitmap image
// is not valid" for pixels other than 1, 4, 8 bits with a colour table or 16, 24, 32 bits of
// colour, or a colour mask that is 0 or not one run of bits; EInvalidGraphic "Picture wider or
// taller than 65535 pixels".
TPictureSize ReadPictureSize(const std::string& path);

// Reads edited pictures as indices of the palette template's colours. An 8-bit file whose
// colour table is the one the unpack writes (the template's colours, then black: 256 entries,
// of 3 or 4 bytes alike) keeps its indices as they stand, those past the template's own
// colours included. In any other file each pixel takes the index of its colour in the
// template's palette (see TColourMapper).
class TPictureReader {
public:
  explicit TPictureReader(std::string templatePath) : templatePath_(std::move(templatePath)) {}

  // Reads the picture at `path` and returns its size: Indices() then holds one index per
  // pixel, rows top down, and InexactPixels() counts the pixels whose colour the palette does
  // not hold. Raises what ReadPictureSize raises; EInvalidGraphic "Bitmap image is not valid"
  // for a pixel that indexes past the file's colour table; and, when the first picture
  // needs the template, what reading it raises (TPaletteTemplate::Read), then what
  // TPaletteTemplate::CheckConvertible raises for a picture with pixels: a template that
  // cannot convert a picture cannot read one back either.
  TPictureSize Read(const std::string& path);
  const TByteDynArray& Indices() const { return indices_; }
  std::uint64_t InexactPixels() const { return inexact_; }

private:
  void LoadTemplate();

  std::string templatePath_;
  std::optional<TPaletteTemplate> template_; // kept once read whole, as the unpack keeps it
  std::vector<TPaletteEntry> convertedTable_;
  std::optional<TColourMapper> mapper_;
  TByteDynArray indices_;
  std::uint64_t inexact_ = 0;
};

} // namespace vex
