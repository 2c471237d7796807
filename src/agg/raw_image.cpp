// Raw image conversion: every image member is rebuilt in the converter's one bitmap, at its own
// size in the template's format and colours, and written as a bitmap file; or its indices are
// encoded as they stand into a PNG file coloured by the template.
#include "raw_image.h"

#include "app_folder.h"
#include "bmp_format.h"
#include "bmp_writer.h"
#include "exceptions.h"
#include "png_writer.h"
#include "vex_graphics.h"

namespace vex {

namespace {

// The head of `member`. A short member is refused before its file exists, rather than read
// past its end.
TRawPictureHead MemberHead(TBytesView member) {
  const std::optional<TRawPictureHead> head = ParseRawPictureHead(member.data(), member.size());
  if (!head)
    throw EReadError();
  return *head;
}

} // namespace

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

std::uint64_t WrittenPictureSize(const TRawPictureHead& head, TPictureFile file) {
  if (head.PixelCount() == 0)
    return 0;
  if (file == TPictureFile::Png)
    return IndexedPngSizeBound(head.width, head.height);
  const std::optional<TStoreGeometry> store = StoreGeometryFor(head.width, head.height, 8);
  if (!store)
    return 0; // no bitmap holds it: the picture fails before its file exists
  TBitmapInfoHeader header;
  header.bitCount = 8;
  header.compression = bmp::CompressionNone;
  header.imageSize = static_cast<std::uint32_t>(store->Bytes());
  return BmpFileSize(header, false);
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

void TRawImageConverter::CheckPicture(const std::optional<TRawPictureHead>& head) {
  LoadedTemplate();
  if (!head)
    throw EReadError();
}

void TRawImageConverter::RebuildFromMember(TBytesView member) {
  const TPaletteTemplate& format = LoadedTemplate();
  const TRawPictureHead head = MemberHead(member);
  RebuildImage(format, head.width, head.height, member.data() + RawPixelsAt);
}

TBytesView TRawImageConverter::EncodedPng(TBytesView member) {
  const TPaletteTemplate& format = LoadedTemplate();
  const TRawPictureHead head = MemberHead(member);
  // The template is judged as for a bitmap file, so that a template fails alike whichever
  // file is asked for; no bitmap is made, since the indices go to the file as they stand.
  const bool empty = head.PixelCount() == 0;
  format.CheckConvertible(empty);
  if (empty)
    return {nullptr, 0}; // a PNG file has no form without pixels: an empty file, as for a bitmap
  const std::vector<TPaletteEntry> palette = format.ConvertedColourTable();
  EncodeIndexedPng({head.width, head.height, member.data() + RawPixelsAt, palette}, pngBuffer_);
  return pngBuffer_;
}

TBytesView TRawImageConverter::EncodeRawImage(TBytesView member) {
  if (file_ == TPictureFile::Png)
    return EncodedPng(member);
  RebuildFromMember(member);
  return bitmap_.EncodedFile();
}

} // namespace vex
