// Raw image conversion: every image member is rebuilt in the converter's one bitmap, at its own
// size in the template's format and colours, and written as a bitmap file.
#include "raw_image.h"

#include "app_folder.h"
#include "exceptions.h"
#include "little_endian.h"
#include "vex_graphics.h"

namespace vex {

const char* const PaletteTemplateName = "TivPalette.bmp";

namespace {

// Layout of a raw image member.
constexpr std::size_t RawWidthAt = 2;
constexpr std::size_t RawHeightAt = 4;
constexpr std::size_t RawPixelsAt = 6;

bool IsDeeperThan8Bits(PixelFormat format) {
  return format == PixelFormat::Bits15 || format == PixelFormat::Bits16 ||
         format == PixelFormat::Bits24 || format == PixelFormat::Bits32;
}

} // namespace

std::string PaletteTemplatePath(const std::string& appFolder) {
  return LocateShippedFile(appFolder, PaletteTemplateName, InstalledDataFolders());
}

void TRawImageConverter::ConvertRawImage(TBytesView member, const std::string& outputPath) {
  if (!bitmap_) {
    // Kept only once read whole: a conversion never meets a bitmap that holds half a template.
    auto loaded = std::make_unique<TBitmap>();
    loaded->ReadBitmapFile(templatePath_);
    bitmap_ = std::move(loaded);
  }
  TBitmap& bitmap = *bitmap_;
  // A member must hold every pixel its head promises: a short one is refused before its file
  // exists, rather than read past its end.
  if (member.size() < RawPixelsAt)
    throw EReadError();
  const std::uint16_t width = GetU16(member.data() + RawWidthAt);
  const std::uint16_t height = GetU16(member.data() + RawHeightAt);
  if (member.size() - RawPixelsAt < std::size_t{width} * height)
    throw EReadError();
  // Emptying first makes the last step build a fresh image in the template's format and
  // colours, with nothing of the previous picture in it.
  bitmap.SetHeight(0);
  bitmap.SetWidth(width);
  bitmap.SetHeight(height);
  // The member holds one byte per pixel; a deeper template would have the copy read two to
  // four times as much.
  if (IsDeeperThan8Bits(EffectivePixelFormat(bitmap)))
    throw EInvalidGraphic("Palette template is not an 8-bit bitmap");
  CopyPixelsIntoBitmap(member.data() + RawPixelsAt, bitmap);
  bitmap.WriteBitmapFile(outputPath);
}

} // namespace vex
