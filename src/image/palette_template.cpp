// The palette template's value: read once, then consulted for every converted picture.
#include "palette_template.h"

#include "bitmap.h"
#include "exceptions.h"
#include "vex_graphics.h"

namespace vex {

namespace {

bool IsDeeperThan8Bits(PixelFormat format) {
  return format == PixelFormat::Bits15 || format == PixelFormat::Bits16 ||
         format == PixelFormat::Bits24 || format == PixelFormat::Bits32;
}

} // namespace

TPaletteTemplate TPaletteTemplate::Read(const std::string& path) {
  TBitmap bitmap;
  bitmap.ReadBitmapFile(path);
  return TPaletteTemplate(bitmap);
}

TPaletteTemplate TPaletteTemplate::Decode(const TByteSource& source) {
  TBitmap bitmap;
  bitmap.DecodeBitmapFile(source);
  return TPaletteTemplate(bitmap);
}

// The template's own size, pixels and colour counts stay behind: a converted picture has its
// own, and its colours used are the full table it is written with.
TPaletteTemplate::TPaletteTemplate(const TBitmap& bitmap)
    : colours_(bitmap.Palette()), coreHeaderStyle_(bitmap.CoreHeaderStyle()) {
  if (bitmap.IsDeviceDependent())
    return;
  const TBitmapInfoHeader& held = bitmap.HeldHeader();
  format_.headerSize = bmp::InfoHeaderSize;
  format_.bitCount = held.bitCount;
  format_.compression = held.compression;
  format_.xResolution = held.xResolution;
  format_.yResolution = held.yResolution;
  format_.redMask = held.redMask; // zero unless compression is 3
  format_.greenMask = held.greenMask;
  format_.blueMask = held.blueMask;
}

std::vector<TPaletteEntry> TPaletteTemplate::ConvertedColourTable() const {
  std::vector<TPaletteEntry> table = colours_;
  table.resize(bmp::MaxColourEntries); // black after the template's own colours
  return table;
}

// A picture with pixels is copied into, and the copy names more masks than the held format
// does: 16-bit 5-5-5 and the plain 32-bit 8-8-8 besides 5-6-5. An empty picture has no pixels
// to copy, so only the held format's names count for it: a template of those other masks
// passes as Custom, and the picture's empty file is written.
PixelFormat TPaletteTemplate::PictureFormat(bool emptyPicture) const {
  if (format_.headerSize == 0)
    return PixelFormat::Device;
  return PixelFormatOf(format_, emptyPicture ? TMaskLayouts::Held : TMaskLayouts::ForCopying);
}

void TPaletteTemplate::CheckConvertible(bool emptyPicture) const {
  const PixelFormat format = PictureFormat(emptyPicture);
  // The member holds one byte per pixel; a deeper template would have the copy read two to
  // four times as much.
  if (IsDeeperThan8Bits(format))
    throw EInvalidGraphic("Palette template is not an 8-bit bitmap");
  // The copy's own check, made before the copy starts. A picture without pixels copies
  // nothing and is never asked.
  if (!emptyPicture)
    BytesPerPixel(format);
}

} // namespace vex
