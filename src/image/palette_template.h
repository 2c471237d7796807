// TPaletteTemplate: what the palette template gives every converted picture (its pixel
// format, colours, resolution and header style), and whether pictures can be made in it.
#pragma once

#include "bmp_format.h"
#include "byte_source.h"

#include <string>
#include <vector>

namespace vex {

class TBitmap;

class TPaletteTemplate {
public:
  // Reads the template at `path` as TBitmap::ReadBitmapFile reads any bitmap file, and raises
  // what it raises.
  static TPaletteTemplate Read(const std::string& path);
  // The template whose file's bytes `source` gives, as TBitmap::DecodeBitmapFile reads them,
  // raising what it raises.
  static TPaletteTemplate Decode(const TByteSource& source);

  // What the image that `bitmap` holds gives pictures made in its format.
  explicit TPaletteTemplate(const TBitmap& bitmap);

  // Header size 40, bit count, compression, masks (with compression 3 only) and x and y
  // resolution; every other field 0. Header size 0 when the template holds no
  // device-independent image (an empty file, a compressed picture): no picture with pixels
  // can be made in it.
  const TBitmapInfoHeader& Format() const { return format_; }
  // At most as many as its bit count can index; none above 8 bits.
  const std::vector<TPaletteEntry>& Colours() const { return colours_; }
  // Set for a 12-byte core header: pictures are written with one too.
  bool CoreHeaderStyle() const { return coreHeaderStyle_; }

  // The colour table of every converted picture: the colours, then black, 256 entries.
  std::vector<TPaletteEntry> ConvertedColourTable() const;

  // Raises what a conversion raises for the template itself once its picture is made and
  // before a pixel moves: EInvalidGraphic "Palette template is not an 8-bit bitmap" when the
  // picture takes 15 to 32 bits per pixel; then, for a picture with pixels (`emptyPicture`
  // clear), EAssertionFailed when the pixel copy has no size for their format (1 or 4 bits,
  // no device-independent image, masks of no layout it knows). Raises nothing for 8 bits.
  void CheckConvertible(bool emptyPicture) const;

private:
  PixelFormat PictureFormat(bool emptyPicture) const;

  TBitmapInfoHeader format_;
  std::vector<TPaletteEntry> colours_;
  bool coreHeaderStyle_ = false;
};

} // namespace vex
