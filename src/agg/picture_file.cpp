// Reading edited pictures back: the formats an editor may save them in, and their pixels as
// indices of the template's colours.
#include "picture_file.h"

#include "bmp_channel.h"
#include "bmp_format.h"
#include "bmp_reader.h"
#include "exceptions.h"
#include "png_reader.h"
#include "raw_image.h"

#include <array>
#include <cstring>

namespace vex {

namespace {

using namespace bmp;

constexpr std::uint32_t MaxPictureDimension = 0xFFFF;

// How a pixel is stored: an index into the file's colour table, or its colour in 16, 24 or 32
// little-endian bits that the channels pick apart; `alpha.max` is 0 when they hold no opacity.
struct TPixelLayout {
  bool indexed = false;
  std::uint16_t bitCount = 0;
  TChannel red, green, blue, alpha;
};

// Uncompressed 16-bit pixels are 5-5-5; 24 and 32 bits are blue, green, red (and a byte left
// over). Bit-field masks say for themselves, the alpha mask too.
TPixelLayout LayoutOf(const TBitmapInfoHeader& header, std::uint32_t alphaMask) {
  TPixelLayout layout;
  if (alphaMask != 0 && header.compression == CompressionBitFields)
    layout.alpha = ChannelOf(alphaMask);
  layout.bitCount = header.bitCount;
  std::uint32_t masks[3] = {header.redMask, header.greenMask, header.blueMask};
  if (header.compression == CompressionNone) {
    if (header.bitCount <= 8) {
      layout.indexed = true;
      return layout;
    }
    if (header.bitCount == 16)
      masks[0] = 0x7C00, masks[1] = 0x3E0, masks[2] = 0x1F;
    else
      masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  } else if (header.compression != CompressionBitFields) {
    RaiseInvalidGraphic();
  }
  layout.red = ChannelOf(masks[0]);
  layout.green = ChannelOf(masks[1]);
  layout.blue = ChannelOf(masks[2]);
  return layout;
}

// The file as a picture: its layout and size, checked; an empty file is 0 x 0.
TPictureSize PictureOf(const TBmpFileContents& file, TPixelLayout& layout) {
  if (file.empty)
    return {};
  layout = LayoutOf(file.header,
                    file.alphaMask); // RLE pictures come decoded, other compressions refused
  if (static_cast<std::uint64_t>(file.header.width) > MaxPictureDimension ||
      file.geometry.rows > MaxPictureDimension)
    throw EInvalidGraphic("Picture wider or taller than 65535 pixels");
  return {static_cast<std::uint16_t>(file.header.width),
          static_cast<std::uint16_t>(file.geometry.rows)};
}

std::uint8_t IndexAt(const std::uint8_t* row, std::size_t x, std::uint16_t bitCount) {
  switch (bitCount) {
  case 1:
    return static_cast<std::uint8_t>((row[x / 8] >> (7 - x % 8)) & 1);
  case 4:
    return static_cast<std::uint8_t>((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF);
  default:
    return row[x];
  }
}

std::uint32_t ValueAt(const std::uint8_t* row, std::size_t x, std::size_t bytes) {
  const std::uint8_t* p = row + x * bytes;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < bytes; ++i)
    value |= std::uint32_t{p[i]} << (8 * i);
  return value;
}

enum class TOpacity { Opaque, Partial, Transparent };

TOpacity OpacityOf(std::uint32_t alpha, std::uint32_t opaque) {
  return alpha == 0        ? TOpacity::Transparent
         : alpha == opaque ? TOpacity::Opaque
                           : TOpacity::Partial;
}

// The file's rows in picture order, top first: a positive height stores them bottom-up.
const std::uint8_t* RowOf(const TBmpFileContents& file, std::size_t pictureRow) {
  const std::uint64_t rows = file.geometry.rows;
  const std::uint64_t fileRow = file.header.height < 0 ? pictureRow : rows - 1 - pictureRow;
  return file.pixels.data() + fileRow * file.geometry.stride;
}

// A picture in either format an editor saves it in, told apart by its first bytes whatever
// its name: a PNG saved under the bitmap's name is still read.
TBmpFileContents ReadPictureFile(const std::string& path, TBmpPixels wanted) {
  const TFile file = TFile::OpenOrRaise(path, TOpenMode::ReadShareRead);
  const std::uint64_t size = file.Size();
  std::uint8_t start[PngSignatureSize] = {};
  if (size >= PngSignatureSize)
    file.ReadExactAt(0, start, PngSignatureSize);
  if (IsPngSignature(start))
    return ReadPngFile(file, wanted);
  return ReadBmpFile(file, 0, size, wanted);
}

} // namespace

TPictureSize ReadPictureSize(const std::string& path) {
  TPixelLayout layout;
  return PictureOf(ReadPictureFile(path, TBmpPixels::CheckedOnly), layout);
}

void TPictureReader::LoadTemplate() {
  if (mapper_)
    return;
  if (!template_)
    template_ = ReadPaletteTemplate(templatePath_);
  template_->CheckConvertible(false); // only pictures with pixels need the template
  convertedTable_ = template_->ConvertedColourTable();
  mapper_.emplace(template_->Colours());
}

TPictureSize TPictureReader::Read(const std::string& path, const TBasePicture& base) {
  return Convert(ReadPictureFile(path, TBmpPixels::AtPixelOffset), base);
}

// A file's pixel layout, and its colour table's entries mapped once each; an entry past the
// table stays unusable.
struct TPictureReader::TFileColours {
  const TBmpFileContents& file;
  TPixelLayout layout;
  bool asTheyStand = false;
  std::array<TMappedColour, MaxColourEntries> byIndex{};
};

// One pixel as the file stores it: a colour table index or a colour value, and its opacity.
struct TPictureReader::TStoredPixel {
  std::uint32_t value = 0;
  TOpacity opacity = TOpacity::Opaque;

  static TStoredPixel At(const TFileColours& colours, const std::uint8_t* row, std::size_t x) {
    const TPixelLayout& layout = colours.layout;
    if (layout.indexed) {
      const std::uint8_t index = IndexAt(row, x, layout.bitCount);
      const std::vector<std::uint8_t>& alpha = colours.file.colourAlpha;
      return {index, OpacityOf(index < alpha.size() ? alpha[index] : 255, 255)};
    }
    const std::uint32_t value = ValueAt(row, x, layout.bitCount / 8u);
    if (layout.alpha.max == 0)
      return {value, TOpacity::Opaque};
    return {value, OpacityOf((value >> layout.alpha.shift) & layout.alpha.max, layout.alpha.max)};
  }
};

// Only a colour that differs from what BASE shows at the pixel is looked up: an editor that
// saves in another format writes every pixel anew, and the first index of a colour the
// palette holds twice is not always the one the picture had.
TMappedColour TPictureReader::MapStored(const TStoredPixel& pixel, const TFileColours& colours,
                                        const std::uint8_t* was) {
  if (pixel.opacity == TOpacity::Transparent) {
    ++transparent_;
    return {transparentIndex_.value_or(0), true};
  }
  partlyTransparent_ += pixel.opacity == TOpacity::Partial ? 1 : 0;
  const TPixelLayout& layout = colours.layout;
  if (layout.indexed) {
    if (colours.asTheyStand)
      return {static_cast<std::uint8_t>(pixel.value), true};
    if (pixel.value >= colours.file.colours.size())
      RaiseInvalidGraphic();
    return StillBase(colours.file.colours[pixel.value], was) ? TMappedColour{*was, true}
                                                             : colours.byIndex[pixel.value];
  }
  if (StillBaseStored(pixel.value, colours, was))
    return {*was, true};
  return mapper_->Map(Scaled(pixel.value, layout.red), Scaled(pixel.value, layout.green),
                      Scaled(pixel.value, layout.blue));
}

TPictureSize TPictureReader::Convert(const TBmpFileContents& file, const TBasePicture& base) {
  TFileColours colours{file, {}};
  const TPictureSize size = PictureOf(file, colours.layout);
  changed_ = inexact_ = transparent_ = partlyTransparent_ = 0;
  indices_.assign(std::size_t{size.width} * size.height, 0);
  if (size.Empty())
    return size;
  LoadTemplate();
  VEX_ASSERT(file.covered.empty() || file.covered.size() == indices_.size());
  const std::uint8_t* baseIndices =
      base.size == size && base.indices.size() == indices_.size() ? base.indices.data() : nullptr;
  colours.asTheyStand = file.header.bitCount == 8 && file.colours == convertedTable_;
  if (colours.layout.indexed && !colours.asTheyStand) {
    for (std::size_t i = 0; i < file.colours.size(); ++i) {
      const TPaletteEntry& c = file.colours[i];
      colours.byIndex[i] = mapper_->Map(c.red, c.green, c.blue);
    }
  }
  for (std::size_t y = 0; y < size.height; ++y) {
    const std::uint8_t* row = RowOf(file, y);
    for (std::size_t x = 0; x < size.width; ++x) {
      const std::size_t at = y * size.width + x;
      const std::uint8_t* was = baseIndices != nullptr ? baseIndices + at : nullptr;
      TMappedColour mapped{was != nullptr ? *was : std::uint8_t{0}, true};
      if (file.covered.empty() || file.covered[at] != 0)
        mapped = MapStored(TStoredPixel::At(colours, row, x), colours, was);
      indices_[at] = mapped.index;
      if (was == nullptr || *was != mapped.index) {
        ++changed_;
        inexact_ += mapped.exact ? 0 : 1;
      }
    }
  }
  if (transparent_ != 0 && !transparentIndex_)
    throw Exception(std::to_string(transparent_) +
                    (transparent_ == 1 ? " pixel is" : " pixels are") +
                    " transparent (alpha 0), which a picture cannot hold: --transparent INDEX "
                    "gives them that index");
  return size;
}

bool TPictureReader::StillBase(const TPaletteEntry& colour, const std::uint8_t* was) const {
  if (was == nullptr)
    return false;
  const TPaletteEntry& shown = convertedTable_[*was];
  return colour.red == shown.red && colour.green == shown.green && colour.blue == shown.blue;
}

bool TPictureReader::StillBaseStored(std::uint32_t value, const TFileColours& colours,
                                     const std::uint8_t* was) const {
  if (was == nullptr)
    return false;
  const TPaletteEntry& shown = convertedTable_[*was];
  const TPixelLayout& layout = colours.layout;
  return StoresColour(value, layout.red, shown.red) &&
         StoresColour(value, layout.green, shown.green) &&
         StoresColour(value, layout.blue, shown.blue);
}

} // namespace vex
