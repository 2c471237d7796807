// Raw image conversion: every image member is rebuilt in the converter's one bitmap, at its own
// size in the template's format and colours, and written as a bitmap file.
#include "raw_image.h"

#include "app_folder.h"
#include "bmp_format.h"
#include "exceptions.h"
#include "vex_graphics.h"

namespace vex {

const char* const PaletteTemplateName = "TivPalette.bmp";

namespace {

bool IsDeeperThan8Bits(PixelFormat format) {
  return format == PixelFormat::Bits15 || format == PixelFormat::Bits16 ||
         format == PixelFormat::Bits24 || format == PixelFormat::Bits32;
}

} // namespace

std::string PaletteTemplatePath(const std::string& appFolder) {
  return LocateShippedFile(appFolder, PaletteTemplateName, InstalledDataFolders());
}

TBitmap& TRawImageConverter::LoadedBitmap() {
  if (!bitmap_) {
    // Kept only once read whole: a conversion never meets a bitmap that holds half a template.
    auto loaded = std::make_unique<TBitmap>();
    loaded->ReadBitmapFile(templatePath_);
    bitmap_ = std::move(loaded);
  }
  return *bitmap_;
}

void TRawImageConverter::RebuildImage(TBitmap& bitmap, std::uint16_t width, std::uint16_t height,
                                      const std::uint8_t* pixels) {
  // Emptying first makes the last step build a fresh image in the template's format and
  // colours, with nothing of the previous picture in it.
  bitmap.SetHeight(0);
  bitmap.SetWidth(width);
  bitmap.SetHeight(height);
  // The member holds one byte per pixel; a deeper template would have the copy read two to
  // four times as much.
  if (IsDeeperThan8Bits(EffectivePixelFormat(bitmap)))
    throw EInvalidGraphic("Palette template is not an 8-bit bitmap");
  CopyPixelsIntoBitmap(pixels, bitmap);
}

void TRawImageConverter::ConvertRawImage(TBytesView member, const std::string& outputPath) {
  TBitmap& bitmap = LoadedBitmap();
  // A short member is refused before its file exists, rather than read past its end.
  const std::optional<TRawPictureHead> head = ParseRawPictureHead(member.data(), member.size());
  if (!head)
    throw EReadError();
  RebuildImage(bitmap, head->width, head->height, member.data() + RawPixelsAt);
  bitmap.WriteBitmapFile(outputPath);
}

std::vector<TPaletteEntry> TRawImageConverter::ConvertedColourTable() {
  TBitmap& bitmap = LoadedBitmap();
  // A picture of one pixel meets every check a real picture meets.
  const std::uint8_t pixel = 0;
  RebuildImage(bitmap, 1, 1, &pixel);
  std::vector<TPaletteEntry> table = bitmap.Palette();
  table.resize(bmp::MaxColourEntries); // black after the template's own colours
  return table;
}

} // namespace vex
