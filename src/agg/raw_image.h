// Turns a raw 8-bit image member into a bitmap file in the palette template's format.
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
// user's data folder, else where an installation keeps the tool's files (see DataFolders and
// LocateShippedFile). Empty when `appFolder` is: the executable's own folder is unknown, and
// no other folder stands in for it. Raises nothing.
std::string PaletteTemplatePath(const std::string& appFolder);
// Reads the template at `templatePath`, as PaletteTemplatePath gave it: raises Exception
// "Cannot find the folder of the running program, where TivPalette.bmp is looked for" for an
// empty path, else what TPaletteTemplate::Read raises.
TPaletteTemplate ReadPaletteTemplate(const std::string& templatePath);

// The bytes of the file ConvertRawImage writes for the picture `head` describes through an
// 8-bit template with an info header (the one the tool ships): headers, 256 colours, rows
// padded to 4 bytes; an empty file for a picture without pixels. Reckoned from the head alone,
// so that the disk check before an unpack reads no template: a core-style template writes
// 284 bytes less, a template with a larger header no more.
std::uint64_t WrittenPictureSize(const TRawPictureHead& head);

// Converts raw image members into bitmap files. The palette template at `templatePath` is read
// at the first picture and kept; each picture is then rebuilt, at its own size in the
// template's format, colours, header style and resolution, in the one bitmap all conversions
// share.
class TRawImageConverter {
public:
  explicit TRawImageConverter(std::string templatePath) : templatePath_(std::move(templatePath)) {}

  // Writes the image held in `member` (u16 width at byte 2, u16 height at byte 4, one palette
  // index per pixel from byte 6, rows top down) as a bitmap file at `outputPath`. Raises,
  // before the output file is created: what reading the template raises (the next call then
  // reads it again); EReadError for a member shorter than its pixels; EOutOfResources when
  // the picture cannot be made; then what TPaletteTemplate::CheckConvertible raises. Then what
  // writing the file raises.
  void ConvertRawImage(TBytesView member, const std::string& outputPath);
  // As ConvertRawImage, but the bitmap file goes to `output`, open for writing (standard
  // output).
  void ConvertRawImage(TBytesView member, TFile& output);

  // Checks a picture member of `memberSize` bytes that is not written, since a later member
  // replaces its file, as ConvertRawImage would check it first: from its head, the member's
  // first RawPixelsAt bytes (not read when it is shorter). Raises what reading the template
  // raises, then EReadError for a member shorter than its pixels.
  void CheckRawImage(const std::uint8_t* head, std::uint64_t memberSize);

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

  std::string templatePath_;
  std::optional<TPaletteTemplate> template_;
  TBitmap bitmap_; // each picture in turn; its write buffer serves the next
};

} // namespace vex
