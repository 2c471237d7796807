// Reading palettes: one reader per format, chosen by the first bytes (raw tables, which have
// none, by their size), then the values taken in 6 or 8 bits. Bitmaps go through the BMP
// reader; every other format is small and is read whole into memory first. The bytes come from a
// source: a file, a member of an archive, or memory.
#include "palette_file.h"

#include "bmp_reader.h"
#include "bmp_writer.h"
#include "exceptions.h"
#include "little_endian.h"
#include "pixel_store.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace vex {

const char* const PaletteFormatsTaken =
    "; palettes are read from raw tables (768 bytes of red, green and blue, or 772 with a colour "
    "count), JASC-PAL and GIMP (.gpl) text, RIFF PAL files and bitmaps with a colour table";

namespace {

// Far above any text palette of 256 colours, so that only content of no format is refused by
// it; the bound keeps a large member from being read into memory for nothing.
constexpr std::uint64_t MaxInMemoryBytes = std::uint64_t{1} << 20;

// A raw table: 256 entries of red, green, blue; the counted form adds a big-endian colour
// count and transparent index (the latter not kept: templates have no transparency).
constexpr std::size_t RawTableSize = 256 * 3;
constexpr std::size_t RawCountedSize = RawTableSize + 4;
constexpr std::size_t RawCountOffset = RawTableSize;

constexpr std::size_t RiffSizeOffset = 4;
constexpr std::size_t RiffFormOffset = 8;
constexpr std::size_t RiffChunksOffset = 12;
constexpr std::size_t ChunkHeaderSize = 8;    // id, u32 size
constexpr std::size_t RiffDataHeaderSize = 4; // u16 version, u16 count
constexpr std::uint16_t RiffPaletteVersion = 0x0300;
constexpr std::size_t RiffEntrySize = 4; // red, green, blue, flags

constexpr std::uint32_t MaxSixBitValue = 63;

[[noreturn]] void Refuse(const std::string& what) {
  throw EInvalidGraphic(what + PaletteFormatsTaken);
}

// How messages name a palette of `format`.
std::string Described(const std::string& format) {
  return format == "bitmap" ? format : format + " palette";
}

// Palettes of 1 to 256 colours are taken: a converted picture's table has 256 entries.
void CheckColourCount(const std::string& where, std::uint64_t count) {
  if (count == 0)
    Refuse(where + ": it holds no colours");
  if (count > bmp::MaxColourEntries)
    Refuse(where + ": " + std::to_string(count) + " colours are more than the 256 a palette holds");
}

TPalette ReadRaw(std::string_view bytes) {
  std::size_t count = bmp::MaxColourEntries;
  if (bytes.size() == RawCountedSize) {
    count = std::size_t{std::uint8_t(bytes[RawCountOffset])} << 8 |
            std::uint8_t(bytes[RawCountOffset + 1]);
    if (count == 0 || count > bmp::MaxColourEntries)
      Refuse("raw palette of 772 bytes: its colour count " + std::to_string(count) +
             " is not from 1 to 256");
  }
  TPalette palette{"raw", {}, 8};
  for (std::size_t i = 0; i < count; ++i)
    palette.colours.push_back({std::uint8_t(bytes[3 * i]), std::uint8_t(bytes[3 * i + 1]),
                               std::uint8_t(bytes[3 * i + 2]), 0});
  return palette;
}

// The palette held in the data chunk of a RIFF palette: version, count, then the entries.
TPalette ReadRiffData(const std::uint8_t* data, std::uint64_t size) {
  if (size < RiffDataHeaderSize)
    Refuse("RIFF palette: its data chunk of " + std::to_string(size) + " bytes holds no count");
  if (GetU16(data) != RiffPaletteVersion)
    Refuse("RIFF palette: version " + std::to_string(GetU16(data)) + " is not 768 (0x0300)");
  const std::uint16_t count = GetU16(data + 2);
  CheckColourCount("RIFF palette", count);
  if (RiffDataHeaderSize + std::uint64_t{count} * RiffEntrySize > size)
    Refuse("RIFF palette: its data chunk of " + std::to_string(size) + " bytes is too small for " +
           std::to_string(count) + " colours");
  TPalette palette{"RIFF", {}, 8};
  for (const std::uint8_t* entry = data + RiffDataHeaderSize; palette.colours.size() < count;
       entry += RiffEntrySize)
    palette.colours.push_back({entry[0], entry[1], entry[2], 0});
  return palette;
}

// Chunks other than "data" are passed over; sizes are checked against what the RIFF size
// field says remains, and that against the bytes there are.
TPalette ReadRiff(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  if (text.size() < RiffChunksOffset || text.substr(RiffFormOffset, 4) != "PAL ")
    Refuse("Not a palette: a RIFF file, but not of the form \"PAL \"");
  const std::uint64_t end = RiffFormOffset + std::uint64_t{GetU32(bytes + RiffSizeOffset)};
  if (end > text.size())
    Refuse("RIFF palette: its size field says " + std::to_string(end - RiffFormOffset) +
           " bytes follow it, the file holds " + std::to_string(text.size() - RiffFormOffset));
  for (std::uint64_t at = RiffChunksOffset; at + ChunkHeaderSize <= end;) {
    const std::string_view id = text.substr(static_cast<std::size_t>(at), 4);
    const std::uint64_t size = GetU32(bytes + at + 4);
    at += ChunkHeaderSize;
    if (size > end - at)
      Refuse("RIFF palette: a chunk of " + std::to_string(size) + " bytes at byte " +
             std::to_string(at - ChunkHeaderSize) + " runs past the end of the file");
    if (id == "data")
      return ReadRiffData(bytes + at, size);
    at += std::min(size + (size & 1), end - at); // chunks are padded to even sizes
  }
  Refuse("RIFF palette: it has no data chunk");
}

// The lines of a text palette, without their ends (LF or CRLF) and without the blank lines
// that end the file; the last line may lack its line break.
std::vector<std::string_view> TextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  while (!lines.empty() && lines.back().find_first_not_of(" \t") == std::string_view::npos)
    lines.pop_back();
  return lines;
}

// Takes the decimal number that `rest` starts with after spaces and tabs, at most `largest`;
// nothing when there is no such number or a letter sticks to it.
std::optional<std::uint32_t> TakeNumber(std::string_view& rest, std::uint32_t largest) {
  rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
  const std::size_t digits = std::min(rest.find_first_not_of("0123456789"), rest.size());
  if (digits == 0 || (digits < rest.size() && rest[digits] != ' ' && rest[digits] != '\t'))
    return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : rest.substr(0, digits))
    value = std::min<std::uint64_t>(value * 10 + std::uint64_t(c - '0'), largest + 1u);
  rest.remove_prefix(digits);
  return value <= largest ? std::optional<std::uint32_t>(std::uint32_t(value)) : std::nullopt;
}

// A line of "R G B"; after it a name when `named`, else only spaces and tabs.
std::optional<TPaletteEntry> ColourOf(std::string_view line, bool named) {
  std::uint8_t values[3] = {};
  for (std::uint8_t& value : values) {
    const auto number = TakeNumber(line, 255);
    if (!number)
      return std::nullopt;
    value = std::uint8_t(*number);
  }
  if (!named && line.find_first_not_of(" \t") != std::string_view::npos)
    return std::nullopt;
  return TPaletteEntry{values[0], values[1], values[2], 0};
}

// Where the line of `index` stands, for messages.
std::string LineRef(const char* format, std::size_t index) {
  return std::string(format) + " palette, line " + std::to_string(index + 1);
}

// A line as messages quote it: cut when long, as a hostile file's may be.
std::string Quoted(std::string_view line) {
  constexpr std::size_t Shown = 40;
  return "\"" + std::string(line.substr(0, Shown)) + (line.size() > Shown ? "...\"" : "\"");
}

TPaletteEntry ColourLine(const char* format, std::size_t index, std::string_view line, bool named) {
  const auto colour = ColourOf(line, named);
  if (!colour)
    Refuse(LineRef(format, index) + ": " + Quoted(line) + " is not three values from 0 to 255");
  return *colour;
}

// JASC-PAL: the signature, the version, the colour count, then exactly that many colour lines.
TPalette ReadJasc(const std::vector<std::string_view>& lines) {
  constexpr const char* Jasc = "JASC-PAL";
  const std::string_view version = lines.size() < 2 ? "" : lines[1];
  if (version != "0100")
    Refuse(LineRef(Jasc, 1) + ": " + Quoted(version) + " is not the version 0100");
  const std::string_view countLine = lines.size() < 3 ? "" : lines[2];
  std::string_view rest = countLine;
  const auto count = TakeNumber(rest, 1u << 16);
  if (!count || rest.find_first_not_of(" \t") != std::string_view::npos)
    Refuse(LineRef(Jasc, 2) + ": " + Quoted(countLine) + " is not a colour count");
  CheckColourCount(LineRef(Jasc, 2), *count);
  const std::size_t colourLines = lines.size() - 3;
  if (colourLines != *count)
    Refuse(LineRef(Jasc, 2) + ": it says " + std::to_string(*count) +
           " colours, the lines after it hold " + std::to_string(colourLines));
  TPalette palette{"JASC-PAL", {}, 8};
  for (std::size_t i = 3; i < lines.size(); ++i)
    palette.colours.push_back(ColourLine(Jasc, i, lines[i], false));
  return palette;
}

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// GIMP: after the signature, every line that is not a name, a column count, a comment or blank
// is a colour, and may name it.
TPalette ReadGimp(const std::vector<std::string_view>& lines) {
  TPalette palette{"GIMP", {}, 8};
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] == '#' || StartsWith(line, "Name:") ||
        StartsWith(line, "Columns:"))
      continue;
    palette.colours.push_back(ColourLine("GIMP", i, line, true));
  }
  CheckColourCount("GIMP palette", palette.colours.size());
  return palette;
}

// A bitmap's colour table, read by the BMP reader from the whole source; its pixels are never
// used. The source is a file's, a member's that lies inside its archive, or bytes in memory, so
// a read that runs short is the bitmap ending early.
TPalette ReadBitmap(const TByteSource& source) {
  TBmpFileContents contents;
  try {
    contents = DecodeBmpFile(source, TBmpPixels::AfterColourTable);
  } catch (const EReadError&) {
    Refuse("bitmap: it ends inside its headers or colour table");
  } catch (const EInvalidGraphic& e) {
    Refuse(e.Message());
  }
  if (contents.colours.empty())
    Refuse("bitmap of " + std::to_string(contents.header.bitCount) +
           " bits per pixel: it has no colour table");
  return {"bitmap", std::move(contents.colours), 8};
}

// Signatures decide first: a raw table has none, so its size alone tells it. (A table of 8-bit
// values whose first colour spells a signature would be taken for that format; no VGA table
// can, its values being below every signature's letters.)
TPalette ReadInMemory(std::string_view bytes) {
  if (StartsWith(bytes, "RIFF"))
    return ReadRiff(bytes);
  // Text editors on Windows often begin a UTF-8 file with a byte-order mark.
  std::string_view text = bytes;
  if (StartsWith(text, "\xEF\xBB\xBF"))
    text.remove_prefix(3);
  const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
  if (firstLine == "JASC-PAL")
    return ReadJasc(TextLines(text));
  if (firstLine == "GIMP Palette")
    return ReadGimp(TextLines(text));
  if (bytes.size() == RawTableSize || bytes.size() == RawCountedSize)
    return ReadRaw(bytes);
  Refuse("Not a palette");
}

TPalette ReadValues(const TByteSource& source) {
  const std::uint64_t size = source.Size();
  if (size == 0)
    Refuse("Not a palette: the file is empty");
  char lead[2] = {};
  source.ReadAt(0, lead, static_cast<std::size_t>(std::min<std::uint64_t>(size, 2)));
  if (lead[0] == char(bmp::FileType0) && lead[1] == char(bmp::FileType1))
    return ReadBitmap(source);
  if (size > MaxInMemoryBytes)
    Refuse("Not a palette");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  source.ReadAt(0, bytes.data(), bytes.size());
  return ReadInMemory(bytes);
}

bool IsSixBit(const TPaletteEntry& c) {
  return c.red <= MaxSixBitValue && c.green <= MaxSixBitValue && c.blue <= MaxSixBitValue;
}

// 6-bit values are widened so that 0 stays 0 and 63 becomes 255.
TPalette TakeBits(TPalette palette, TPaletteBits bits) {
  const bool six = bits == TPaletteBits::Six ||
                   (bits == TPaletteBits::Guess && palette.format == "raw" &&
                    std::all_of(palette.colours.begin(), palette.colours.end(), IsSixBit));
  if (!six)
    return palette;
  for (std::size_t i = 0; i < palette.colours.size(); ++i) {
    for (std::uint8_t* value :
         {&palette.colours[i].red, &palette.colours[i].green, &palette.colours[i].blue}) {
      if (*value > MaxSixBitValue)
        Refuse(Described(palette.format) + ", index " + std::to_string(i) + ": " +
               std::to_string(*value) + " is more than 63, the largest 6-bit value");
      *value = std::uint8_t(*value << 2 | *value >> 4);
    }
  }
  palette.bits = 6;
  return palette;
}

} // namespace

TPalette DecodePalette(const TByteSource& source, TPaletteBits bits) {
  return TakeBits(ReadValues(source), bits);
}

TPalette ReadPalette(const TFile& file, std::uint64_t offset, std::uint64_t size,
                     TPaletteBits bits) {
  return DecodePalette(TByteSource(file, offset, size), bits);
}

// The same form as the default template: one pixel, of index 0, at 72 dots per inch.
TByteDynArray EncodePaletteTemplate(const std::vector<TPaletteEntry>& colours) {
  constexpr std::int32_t PixelsPerMetreAt72Dpi = 2835;
  const TStoreGeometry geometry = *StoreGeometryFor(1, 1, 8);
  TBitmapInfoHeader header;
  header.headerSize = bmp::InfoHeaderSize;
  header.width = 1;
  header.height = 1;
  header.planes = 1;
  header.bitCount = 8;
  header.compression = bmp::CompressionNone;
  header.imageSize = static_cast<std::uint32_t>(geometry.Bytes());
  header.xResolution = PixelsPerMetreAt72Dpi;
  header.yResolution = PixelsPerMetreAt72Dpi;
  const TPixelStore pixels = TPixelStore::Allocated(geometry);
  TByteDynArray file;
  EncodeBmpFile({header, false, colours, pixels, false}, file);
  return file;
}

} // namespace vex
