// Turns a raw 8-bit image member into a bitmap file in the palette template's format.
#pragma once

#include "bitmap.h"
#include "files.h"
#include "raw_picture.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vex {

// The template's file name.
extern const char* const PaletteTemplateName;

// Where an executable in `appFolder` reads its template from: beside itself, or where an
// installation keeps the tool's files (see LocateShippedFile). Raises nothing.
std::string PaletteTemplatePath(const std::string& appFolder);

// Converts raw image members into bitmap files. All conversions share one bitmap: the palette
// template at `templatePath` is read into it at the first picture, and each picture is then
// rebuilt in it at its own size, keeping the template's format, colours and resolution.
class TRawImageConverter {
public:
  explicit TRawImageConverter(std::string templatePath) : templatePath_(std::move(templatePath)) {}

  // Writes the image held in `member` (u16 width at byte 2, u16 height at byte 4, one palette
  // index per pixel from byte 6, rows top down) as a bitmap file at `outputPath`. Raises,
  // before the output file is created: what reading the template raises (the next call then
  // reads it again); EReadError for a member shorter than its pixels; EInvalidGraphic
  // "Palette template is not an 8-bit bitmap" for a 15- to 32-bit template; EAssertionFailed
  // for a template whose pixels cannot be copied (1- or 4-bit, compressed, empty). Then what
  // writing the file raises.
  void ConvertRawImage(TBytesView member, const std::string& outputPath);

  // The colour table of every picture this converter writes: the template's colours, then
  // black, 256 entries in all. Reads the template if no picture has yet, and raises what
  // ConvertRawImage raises for the template itself.
  std::vector<TPaletteEntry> ConvertedColourTable();

  // The shared bitmap; nullptr until a picture has read the template.
  const TBitmap* Bitmap() const { return bitmap_.get(); }

private:
  TBitmap& LoadedBitmap();
  // Rebuilds `bitmap` as the picture of `width` x `height` whose indices `pixels` holds, top
  // row first.
  static void RebuildImage(TBitmap& bitmap, std::uint16_t width, std::uint16_t height,
                           const std::uint8_t* pixels);

  std::string templatePath_;
  std::unique_ptr<TBitmap> bitmap_;
};

} // namespace vex
