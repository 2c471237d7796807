// Turns a raw 8-bit image member into a bitmap file in the palette template's format, or into
// an indexed PNG file in its colours.
#pragma once

#include "bitmap.h"
#include "files.h"
#include "palette_template.h"
#include "raw_picture.h"

#include <optional>
#include <string>
#include <utility>

namespace vex {

// The template's file name.
extern const char* const PaletteTemplateName;

// Where an executable in `appFolder` reads its template from: beside itself, else in the
// user's configuration folder, else where an installation keeps the tool's files (see DataFolders
// and LocateShippedFile). Empty when `appFolder` is: the executable's own folder is unknown, and no
// other folder stands in for it. Raises nothing.
std::string PaletteTemplatePath(const std::string& appFolder);
// Reads the template at `templatePath`, as PaletteTemplatePath gave it: raises Exception
// "Cannot find the folder of the running program, where TivPalette.bmp is looked for" for an
// empty path, else what TPaletteTemplate::Read raises.
TPaletteTemplate ReadPaletteTemplate(const std::string& templatePath);

// The kind of file a picture member becomes.
enum class TPictureFile {
  Bitmap, // a bitmap file in the template's format: NAME.bmp
  Png,    // an 8-bit indexed PNG file, the template's colours its palette: NAME.png
};

// The bytes of the file ConvertRawImage writes for the picture `head` describes through an
// 8-bit template with an info header (the one the tool ships), as the BMP encoder reckons them
// (see BmpFileSize); an empty file for a picture without pixels, none for one no bitmap can
// hold. Reckoned from the head alone, so that the disk check before an unpack reads no
// template: a core-style template writes 284 bytes less, a template with a larger header no
// more. A PNG file's size is known only once its rows are compressed, so for `Png` this is the
// most it can take (see IndexedPngSizeBound): the disk check may refuse a disk that would just
// have held the files, never pass one that cannot.
std::uint64_t WrittenPictureSize(const TRawPictureHead& head,
                                 TPictureFile file = TPictureFile::Bitmap);

// Converts raw image members into bitmap files, or PNG files. The palette template at
// `templatePath` is read at the first picture and kept; each picture is then rebuilt, at its
// own size in the template's format, colours, header style and resolution, in the one bitmap
// all conversions share. A PNG file takes the member's indices as they stand and the colour
// table a bitmap file would have as its palette (256 entries: the template's colours, then
// black); the template must be one that bitmap files can be made in.
class TRawImageConverter {
public:
  explicit TRawImageConverter(std::string templatePath, TPictureFile file = TPictureFile::Bitmap)
      : templatePath_(std::move(templatePath)), file_(file) {}
  // A converter whose template is already read, from bytes in memory say: no file is read.
  explicit TRawImageConverter(TPaletteTemplate format, TPictureFile file = TPictureFile::Bitmap)
      : file_(file), template_(std::move(format)) {}

  // The bitmap or PNG file of the image held in `member` (u16 width at byte 2, u16 height at
  // byte 4, one palette index per pixel from byte 6, rows top down); no bytes for a picture
  // without pixels. Valid until the next call. Raises what reading the template raises (the
  // next call then reads it again); EReadError for a member shorter than its pixels;
  // EOutOfResources when the bitmap cannot be made; then what TPaletteTemplate::CheckConvertible
  // raises; for a PNG file, what EncodeIndexedPng raises.
  TBytesView EncodeRawImage(TBytesView member);
  // Writes EncodeRawImage's file at `outputPath`, raising what that raises before the file is
  // created, then what writing it raises (see WritePictureFile).
  void ConvertRawImage(TBytesView member, const std::string& outputPath) {
    WritePictureFile(outputPath, EncodeRawImage(member));
  }

  // Checks a picture member that is not written, since a later member replaces its file, as
  // EncodeRawImage would check it first, from `head` (see ReadMemberPictureHead): raises what
  // reading the template raises, then EReadError when the member is too short for its pixels.
  void CheckPicture(const std::optional<TRawPictureHead>& head);

  // The template; nullptr until a picture has read it.
  const TPaletteTemplate* Template() const { return template_ ? &*template_ : nullptr; }

private:
  const TPaletteTemplate& LoadedTemplate();
  // Checks the picture `member` holds and rebuilds the bitmap as it, raising what
  // ConvertRawImage raises before its file is created.
  void RebuildFromMember(TBytesView member);
  // Rebuilds the bitmap as the picture of `width` x `height` whose indices `pixels` holds, top
  // row first.
  void RebuildImage(const TPaletteTemplate& format, std::uint16_t width, std::uint16_t height,
                    const std::uint8_t* pixels);
  // Checks the picture `member` holds against the template as RebuildFromMember does, and
  // encodes it as an indexed PNG file into the PNG buffer; nothing for an empty picture.
  TBytesView EncodedPng(TBytesView member);

  std::string templatePath_;
  TPictureFile file_;
  std::optional<TPaletteTemplate> template_;
  TBitmap bitmap_;          // each picture in turn; its write buffer serves the next
  TByteDynArray pngBuffer_; // each PNG file in turn, kept for its capacity
};

} // namespace vex
