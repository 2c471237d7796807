// TBitmap's image model: reading a file into a new image, rebuilding it in a template's
// format, pixel formats and rows. ReadBitmapFile and Rebuild build the new image completely
// before it replaces the old one, so a failure leaves the bitmap as it was.
#include "bitmap.h"

#include "bmp_format.h"
#include "bmp_reader.h"
#include "exceptions.h"
#include "palette_template.h"

#include <algorithm>
#include <cstring>

namespace vex {

namespace {

[[noreturn]] void RaiseOutOfResources() {
  throw EOutOfResources();
}

// The colour-table entries an image of `bitCount` bits keeps out of `available`: no more than
// its pixels can index, and none above 8 bits.
std::size_t TableEntries(std::uint16_t bitCount, std::size_t available) {
  if (bitCount > 8)
    return 0;
  return std::min<std::size_t>(available, std::size_t{1} << bitCount);
}

// The description of an image stored in the format of `created`: header size 40, planes 1,
// the store's size and the colour-table entries it keeps.
TBitmapInfoHeader Describe(const TBitmapInfoHeader& created, const TStoreGeometry& geometry,
                           std::size_t tableEntries) {
  TBitmapInfoHeader description = created;
  description.headerSize = bmp::InfoHeaderSize;
  description.planes = 1;
  description.imageSize = static_cast<std::uint32_t>(geometry.Bytes());
  description.coloursUsed = static_cast<std::uint32_t>(tableEntries);
  if (created.compression != bmp::CompressionBitFields)
    description.redMask = description.greenMask = description.blueMask = 0;
  return description;
}

// Sets the pixel bits of a row to 1, leaving the padding after them as it is (zero).
void FillRowWhite(std::uint8_t* row, std::uint64_t pixelBits) {
  const auto fullBytes = static_cast<std::size_t>(pixelBits / 8);
  const auto restBits = static_cast<unsigned>(pixelBits % 8);
  std::memset(row, 0xFF, fullBytes);
  if (restBits != 0)
    row[fullBytes] = static_cast<std::uint8_t>(0xFF << (8 - restBits));
}

} // namespace

// A zero-byte file empties the bitmap as if it were new. Compressed pictures are not
// decoded: the image is device-dependent, which the conversion refuses, and no later Rebuild
// in its format turns it into a device-independent one.
void TBitmap::ReadBitmapFile(const std::string& path) {
  TakeImageOf(ReadBmpFile(path));
}

void TBitmap::DecodeBitmapFile(const TByteSource& source) {
  TakeImageOf(DecodeBmpFile(source));
}

void TBitmap::TakeImageOf(TBmpFileContents&& file) {
  if (file.empty)
    image_ = TImageState{};
  else if (IsIndependentCompression(file.header.compression))
    image_ = IndependentImageFromFile(std::move(file));
  else
    image_ = DependentImageFromFile(std::move(file));
}

// What every image read from a file takes from it: its kind, its size and the colours of its
// table, as many as its bit count can index.
TBitmap::TImageState TBitmap::ImageStateFromFile(ImageKind kind, const TBmpFileContents& file,
                                                 std::int32_t height) {
  TImageState image;
  image.kind = kind;
  image.width = file.header.width;
  image.height = height;
  const std::size_t entries = TableEntries(file.header.bitCount, file.colours.size());
  image.palette.assign(file.colours.begin(), file.colours.begin() + entries);
  return image;
}

// HeldHeader is the new image's description, with the resolution, colours used and colours
// important of the file.
TBitmap::TImageState TBitmap::IndependentImageFromFile(TBmpFileContents&& file) {
  const TBitmapInfoHeader& header = file.header;
  TImageState image = ImageStateFromFile(ImageKind::Independent, file,
                                         static_cast<std::int32_t>(file.geometry.rows));
  image.coreHeaderStyle = file.coreHeader;
  image.description = Describe(header, file.geometry, image.palette.size());
  image.held = image.description;
  image.held.coloursUsed = header.coloursUsed;
  image.held.coloursImportant = header.coloursImportant;
  image.store = TPixelStore::Partial(file.geometry, std::move(file.pixels));
  return image;
}

// A device-dependent image has no description of its own: HeldHeader keeps only what the
// file says of resolution and colours.
TBitmap::TImageState TBitmap::DependentImageFromFile(TBmpFileContents&& file) {
  const TBitmapInfoHeader& header = file.header;
  TImageState image = ImageStateFromFile(ImageKind::Dependent, file, header.height);
  image.held.xResolution = header.xResolution;
  image.held.yResolution = header.yResolution;
  image.held.coloursUsed = header.coloursUsed;
  image.held.coloursImportant = header.coloursImportant;
  return image;
}

void TBitmap::Rebuild(const TPaletteTemplate& format, std::int32_t w, std::int32_t h) {
  if (w < 0 || h < 0)
    RaiseOutOfResources();
  TImageState next;
  next.held = format.Format();
  next.held.width = w;
  next.held.height = h;
  next.width = w;
  next.height = h;
  next.palette = format.Colours();
  next.coreHeaderStyle = format.CoreHeaderStyle();
  if (w == 0 || h == 0)
    next.kind = ImageKind::None;
  else if (next.held.headerSize >= bmp::InfoHeaderSize)
    MakeWhiteImage(next);
  else
    next.kind = ImageKind::Dependent; // the format holds no device-independent image
  image_ = std::move(next);
}

// A bottom-up store in the format of `image.held`, its pixels white and its padding zero.
void TBitmap::MakeWhiteImage(TImageState& image) {
  const TBitmapInfoHeader format = image.held;
  if (!IsStorableFormat(format.bitCount, format.compression))
    RaiseOutOfResources();
  const auto geometry = StoreGeometryFor(image.width, image.height, format.bitCount);
  if (!geometry)
    RaiseOutOfResources();
  image.store = TPixelStore::Allocated(*geometry);
  image.description =
      Describe(format, *geometry, TableEntries(format.bitCount, image.palette.size()));
  image.held = image.description;
  image.kind = ImageKind::Independent;
  const std::uint64_t pixelBits =
      std::uint64_t{format.bitCount} * static_cast<std::uint64_t>(image.width);
  for (std::uint64_t row = 0; row < geometry->rows; ++row)
    FillRowWhite(image.store.MutableRow(row), pixelBits);
}

// Rows count from the top of the picture; a positive height stores the bottom row first.
std::uint64_t TBitmap::StoreIndexOfRow(const TImageState& image, std::uint64_t row) {
  const std::uint64_t rows = image.store.Rows();
  return image.description.height > 0 ? rows - 1 - row : row;
}

std::uint8_t* TBitmap::RowAddress(std::int32_t row) {
  image_.held.coloursUsed = 0;
  image_.held.coloursImportant = 0;
  if (image_.kind != ImageKind::Independent || row < 0 || row >= image_.height)
    throw EInvalidGraphicOperation("Scan line index out of range");
  return image_.store.MutableRow(StoreIndexOfRow(image_, static_cast<std::uint64_t>(row)));
}

bool TBitmap::IsDeviceDependent() const {
  return image_.kind == ImageKind::Dependent ||
         (image_.kind == ImageKind::None && image_.held.headerSize == 0);
}

PixelFormat TBitmap::HeldPixelFormat() const {
  if (IsDeviceDependent())
    return PixelFormat::Device;
  return PixelFormatOf(image_.held, TMaskLayouts::Held);
}

std::optional<TBitmapInfoHeader> TBitmap::Description() const {
  if (image_.kind != ImageKind::Independent)
    return std::nullopt;
  return image_.description;
}

std::size_t TBitmap::Stride() const {
  return image_.kind == ImageKind::Independent ? image_.store.Stride() : 0;
}

} // namespace vex
