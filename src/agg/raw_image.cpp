// Raw image conversion: every image member is rebuilt in the converter's one bitmap, at its own
// size in the template's format and colours, and written as a bitmap file.
#include "raw_image.h"

#include "app_folder.h"
#include "bmp_format.h"
#include "exceptions.h"
#include "vex_graphics.h"

namespace vex {

const char* const PaletteTemplateName = "TivPalette.bmp";

std::string PaletteTemplatePath(const std::string& appFolder) {
  return LocateShippedFile(appFolder, PaletteTemplateName, DataFolders(appFolder));
}

TPaletteTemplate ReadPaletteTemplate(const std::string& templatePath) {
  if (templatePath.empty())
    throw Exception(std::string("Cannot find the folder of the running program, where ") +
                    PaletteTemplateName + " is looked for");
  return TPaletteTemplate::Read(templatePath);
}

std::uint64_t WrittenPictureSize(const TRawPictureHead& head) {
  if (head.PixelCount() == 0)
    return 0;
  constexpr std::uint64_t colourTable = 256 * 4;
  const std::uint64_t stride = (std::uint64_t{head.width} + 3) / 4 * 4;
  return bmp::FileHeaderSize + bmp::InfoHeaderSize + colourTable + stride * head.height;
}

const TPaletteTemplate& TRawImageConverter::LoadedTemplate() {
  // Kept only once read whole: a conversion never meets half a template.
  if (!template_)
    template_ = ReadPaletteTemplate(templatePath_);
  return *template_;
}

void TRawImageConverter::RebuildImage(const TPaletteTemplate& format, std::uint16_t width,
                                      std::uint16_t height, const std::uint8_t* pixels) {
  // The picture is made before the template's format is judged: a picture too large for
  // memory fails as such whatever the template.
  bitmap_.Rebuild(format, width, height);
  format.CheckConvertible(width == 0 || height == 0);
  CopyPixelsIntoBitmap(pixels, bitmap_);
}

void TRawImageConverter::CheckRawImage(const std::uint8_t* head, std::uint64_t memberSize) {
  LoadedTemplate();
  if (!ParseRawPictureHead(head, memberSize))
    throw EReadError();
}

void TRawImageConverter::RebuildFromMember(TBytesView member) {
  const TPaletteTemplate& format = LoadedTemplate();
  // A short member is refused before its file exists, rather than read past its end.
  const std::optional<TRawPictureHead> head = ParseRawPictureHead(member.data(), member.size());
  if (!head)
    throw EReadError();
  RebuildImage(format, head->width, head->height, member.data() + RawPixelsAt);
}

void TRawImageConverter::ConvertRawImage(TBytesView member, const std::string& outputPath) {
  RebuildFromMember(member);
  bitmap_.WriteBitmapFile(outputPath);
}

void TRawImageConverter::ConvertRawImage(TBytesView member, TFile& output) {
  RebuildFromMember(member);
  bitmap_.WriteBitmapTo(output);
}

} // namespace vex
