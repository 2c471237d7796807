// TBitmap::WriteBitmapFile: the whole file is encoded into one reusable buffer
// and handed to the system in one write, since the tool writes hundreds of files in a run; every
// picture file, of whatever format, goes to its name the same way.
#include "bitmap.h"

#include "bmp_format.h"
#include "bmp_writer.h"
#include "exceptions.h"
#include "replacing_file.h"

namespace vex {

TBytesView TBitmap::EncodedFile() {
  if (image_.kind == ImageKind::None)
    return {nullptr, 0};
  if (image_.kind == ImageKind::Dependent)
    RaiseInvalidGraphic();
  if (image_.kind == ImageKind::Independent) {
    // A core header has 16-bit sizes; cutting a larger one would make a wrong file.
    if (image_.coreHeaderStyle && (image_.width > std::int32_t{bmp::CoreMaxDimension} ||
                                   image_.height > std::int32_t{bmp::CoreMaxDimension}))
      RaiseInvalidGraphic();
    TBitmapInfoHeader header = image_.description;
    header.height = image_.height; // the row count: files are written bottom-up
    header.xResolution = image_.held.xResolution;
    header.yResolution = image_.held.yResolution;
    EncodeBmpFile({header, image_.coreHeaderStyle, image_.palette, image_.store,
                   image_.description.height < 0},
                  writeBuffer_);
    const std::uint32_t tableEntries = ColourTableEntries(header.bitCount);
    if (tableEntries != 0)
      image_.held.coloursUsed = tableEntries; // as the file's header now says
  }
  return writeBuffer_;
}

void TBitmap::WriteBitmapFile(const std::string& path) {
  WritePictureFile(path, EncodedFile());
}

void WritePictureFile(const std::string& path, TBytesView bytes) {
  TReplacingFile file(path, TDurability::Cached);
  if (!file.IsOpen())
    TFile::RaiseOpenError(path, TOpenMode::CreateNew);
  file.Reserve(bytes.size());
  const bool written =
      bytes.size() == 0 || file.File().Write(bytes.data(), bytes.size()) == bytes.size();
  // A write error reported only at close is a write error all the same.
  if (!written || !file.Finish())
    throw EWriteError();
  // The name refuses its new file (a folder stands there): as it would refuse a create.
  if (!file.Replace())
    TFile::RaiseOpenError(path, TOpenMode::CreateNew);
}

} // namespace vex
