// TBitmap, the project's own portable in-memory bitmap, with no graphics library under it: it
// reads a BMP file (the palette template is read through it), is rebuilt at each converted
// picture's size in the template's format and colours, hands out its pixel rows, and writes
// itself as a BMP file.
#pragma once

#include "files.h"
#include "pixel_store.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vex {

class TByteSource;
struct TBmpFileContents;
class TPaletteTemplate;

class TBitmap {
public:
  // An empty bitmap: HeldHeader all zero, no palette, CoreHeaderStyle clear.
  TBitmap() = default;

  // Replaces the image by the one in the BMP file at `path`; a file of 0 bytes makes the
  // bitmap as new. Pictures compressed other than with bit-field masks are not decoded: they
  // give a device-dependent image, whose size and colours are known but whose pixels are not
  // held, so it can be neither drawn on nor written. Raises EFOpenError when the file cannot be
  // opened; EReadError when it ends inside its file header, header, masks or colour table;
  // EInvalidGraphic when it is no BMP file ("BM" missing, planes not 1, header size neither
  // 12 nor 40 or more, more than 256 colours) or its image cannot be made: a bit count other
  // than 1, 4, 8, 16, 24 or 32, masks below 16 bits or cut off by a 41- to 51-byte header, a
  // width of 0 or less, a height of 0, more than MaxStoreBytes of pixels, or a compressed
  // picture stored top-down. On failure the bitmap is unchanged.
  void ReadBitmapFile(const std::string& path);
  // As ReadBitmapFile, for the file whose bytes `source` gives; raises what it raises but
  // EFOpenError.
  void DecodeBitmapFile(const TByteSource& source);

  // Makes the image a white w × h picture with zero padding in `format`'s pixel format,
  // colours, header style and resolution, nothing of the previous image kept; an empty image
  // when w or h is 0, a device-dependent one when `format` holds no device-independent image.
  // Raises EOutOfResources when the image cannot be made (negative or too large a size, memory
  // exhausted); the bitmap is then unchanged.
  void Rebuild(const TPaletteTemplate& format, std::int32_t w, std::int32_t h);

  // The size last given, by ReadBitmapFile or Rebuild; both are 0 or more.
  std::int32_t Width() const { return image_.width; }
  std::int32_t Height() const { return image_.height; }

  const TBitmapInfoHeader& HeldHeader() const { return image_.held; }
  // At most as many colours as the bit count can index; none above 8 bits.
  const std::vector<TPaletteEntry>& Palette() const { return image_.palette; }
  // Set when the image came from a file with a 12-byte core header, or was rebuilt in the
  // format of one; written files then use that header style too.
  bool CoreHeaderStyle() const { return image_.coreHeaderStyle; }
  PixelFormat HeldPixelFormat() const;
  bool IsDeviceDependent() const;

  // The current device-independent image as its pixel store holds it (header size 40, its
  // size, bit count, compression, masks, image size = stride × |height|, colours used = its
  // colour-table entry count); nothing when the bitmap is empty or device-dependent.
  std::optional<TBitmapInfoHeader> Description() const;
  // Bytes per row of the pixel store; 0 when there is no device-independent image.
  std::size_t Stride() const;

  // The first byte of `row`, counted from the top of the picture. Marks the image as
  // modified (colours used and colours important become 0) even when it then raises
  // EInvalidGraphicOperation "Scan line index out of range": the row is outside 0..Height()-1
  // or the bitmap holds no device-independent image. Raises EOutOfResources when a store
  // read from a file cannot be made real.
  std::uint8_t* RowAddress(std::int32_t row);

  // Replaces the file at `path` (making its folder) with the image as a BMP file, whole or not
  // at all (see TReplacingFile), bottom row first; an empty bitmap gives an empty file. An image of
  // 8 bits or fewer gets a colour table with an entry for every index (2, 16 or 256): its palette,
  // then black; colours used, held too from then on, counts them all. Raises EFCreateError,
  // EWriteError; EInvalidGraphic (before creating the file) for a device-dependent image or a
  // core-style image wider or taller than 65535; EOutOfMemory when the file cannot be assembled.
  void WriteBitmapFile(const std::string& path);
  // The bytes WriteBitmapFile writes, encoded into the write buffer and valid until the next
  // encoding; empty for an empty bitmap. Raises EInvalidGraphic and EOutOfMemory as
  // WriteBitmapFile does.
  TBytesView EncodedFile();

private:
  enum class ImageKind { None, Independent, Dependent };

  // Everything that ReadBitmapFile and Rebuild replace at once.
  struct TImageState {
    TBitmapInfoHeader held;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<TPaletteEntry> palette;
    bool coreHeaderStyle = false;
    ImageKind kind = ImageKind::None;
    TBitmapInfoHeader description; // meaningful for ImageKind::Independent
    TPixelStore store;             // ditto
  };

  static TImageState ImageStateFromFile(ImageKind kind, const TBmpFileContents& file,
                                        std::int32_t height);
  void TakeImageOf(TBmpFileContents&& file);
  static TImageState IndependentImageFromFile(TBmpFileContents&& file);
  static TImageState DependentImageFromFile(TBmpFileContents&& file);
  static void MakeWhiteImage(TImageState& image);
  static std::uint64_t StoreIndexOfRow(const TImageState& image, std::uint64_t row);

  TImageState image_;
  TByteDynArray writeBuffer_; // kept so that its capacity serves the next file
};

// Replaces the file at `path` (making its folder) with `bytes`, whole or not at all (see
// TReplacingFile), as WriteBitmapFile writes its file; an empty view gives an empty file. Raises
// EFCreateError when the file cannot be created or the name not replaced, EWriteError when a
// write fails (a failed close included).
void WritePictureFile(const std::string& path, TBytesView bytes);

} // namespace vex
