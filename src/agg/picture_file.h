// Edited pictures: the bitmap files of an unpacked folder, read back as the palette indices
// that a picture member holds.
#pragma once

#include "bmp_reader.h"
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

// Checks the bitmap or PNG file at `path` (told apart by its first bytes, whatever its name)
// as a picture that can go back into an archive, reading all but its pixels, and returns its
// size. Raises what ReadBmpFile raises for a picture (TBmpPixels::CheckedOnly), RLE8 and RLE4
// streams run through, or what ReadPngFile raises with CheckedOnly; EInvalidGraphic "Bitmap image
// is not valid" for pixels other than 1, 4, 8 bits with a colour table or 16, 24, 32 bits of
// colour, or a colour mask that is 0 or not one run of bits; EInvalidGraphic "Picture wider or
// taller than 65535 pixels".
TPictureSize ReadPictureSize(const std::string& path);

// BASE's picture that an edited file replaces: its size, and its indices, rows top first. An
// empty size stands for none (a new member, or one too short to hold a picture).
struct TBasePicture {
  TPictureSize size;
  TByteDynArray indices;
};

// Reads edited pictures as indices of the palette template's colours. An 8-bit file whose
// colour table is the one the unpack writes (the template's colours, then black: 256 entries,
// of 3 or 4 bytes alike) keeps its indices as they stand, those past the template's own
// colours included. In any other file, a pixel of BASE's picture (same size) whose colour is
// still the one BASE's index there shows keeps that index, even where the palette holds the
// colour twice; every other pixel takes the index of its colour in the template's palette
// (see TColourMapper). A pixel the file leaves out (an RLE stream skipping it) keeps BASE's
// index, or takes 0 when there is no BASE picture of the file's size. "BASE's colour" is
// compared at the file's own precision (see StoresColour): an unedited picture saved in 16
// bits keeps every index.
//
// A picture has no transparency. A pixel whose opacity is 0 (an alpha mask, or a colour
// table entry's alpha) takes `transparentIndex`, and without one the picture is refused. A
// partly transparent pixel is mapped by its colour as it stands, its opacity ignored: the
// picture is drawn over no known background, so blending it with one would make up a colour
// the user never chose, while the colour as painted is what the editor shows at full
// opacity. Such pixels are counted, never passed over in silence.
class TPictureReader {
public:
  explicit TPictureReader(std::string templatePath,
                          std::optional<std::uint8_t> transparentIndex = std::nullopt)
      : templatePath_(std::move(templatePath)), transparentIndex_(transparentIndex) {}

  // Reads the picture at `path` and returns its size: Indices() then holds one index per
  // pixel, rows top down; ChangedPixels() counts the pixels whose index is not BASE's (all of
  // them when `base` is not of the file's size), and InexactPixels() those of them whose
  // colour the palette does not hold. Raises what ReadPictureSize raises, and for a PNG file
  // what decoding it raises (ReadPngFile); EInvalidGraphic
  // "Bitmap image is not valid" for a pixel that indexes past the file's colour table; and,
  // when the first picture needs the template, what reading it raises
  // (TPaletteTemplate::Read), then what TPaletteTemplate::CheckConvertible raises for a
  // picture with pixels: a template that cannot convert a picture cannot read one back either;
  // Exception "N pixels are transparent (alpha 0), which a picture cannot hold: --transparent
  // INDEX gives them that index" when there are such pixels and no index for them.
  TPictureSize Read(const std::string& path, const TBasePicture& base = {});
  // As Read, on a file read already.
  TPictureSize Convert(const TBmpFileContents& file, const TBasePicture& base);
  const TByteDynArray& Indices() const { return indices_; }
  std::uint64_t ChangedPixels() const { return changed_; }
  std::uint64_t InexactPixels() const { return inexact_; }
  // The pixels that took the transparent index, and those mapped with their opacity ignored.
  std::uint64_t TransparentPixels() const { return transparent_; }
  std::uint64_t PartlyTransparentPixels() const { return partlyTransparent_; }

private:
  struct TFileColours;
  struct TStoredPixel;
  void LoadTemplate();
  TMappedColour MapStored(const TStoredPixel& pixel, const TFileColours& colours,
                          const std::uint8_t* was);
  // Whether `colour` is the one BASE's index `was` (none when null) shows in the unpacked file.
  bool StillBase(const TPaletteEntry& colour, const std::uint8_t* was) const;
  // The same for a 16-, 24- or 32-bit pixel `value`, at the precision its channels have.
  bool StillBaseStored(std::uint32_t value, const TFileColours& colours,
                       const std::uint8_t* was) const;

  std::string templatePath_;
  std::optional<TPaletteTemplate> template_; // kept once read whole, as the unpack keeps it
  std::vector<TPaletteEntry> convertedTable_;
  std::optional<TColourMapper> mapper_;
  TByteDynArray indices_;
  std::uint64_t changed_ = 0;
  std::uint64_t inexact_ = 0;
  std::optional<std::uint8_t> transparentIndex_;
  std::uint64_t transparent_ = 0;
  std::uint64_t partlyTransparent_ = 0;
};

} // namespace vex
