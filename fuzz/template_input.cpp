// The palette-template fuzz body. The input is the template file; two small pictures go
// through the real conversion with it. The files written are read back here, field by field,
// without the tool's reader: an 8-bit bitmap of the picture's size, its rows bottom-up with
// zero padding, its colour table the template's colours, then black.
#include "input_checks.h"

#include "exceptions.h"
#include "fuzz_workspace.h"
#include "little_endian.h"
#include "raw_image.h"

#include <array>

namespace fs = std::filesystem;

namespace vexfuzz {

namespace {

struct TPicture {
  std::uint16_t width, height;
};

// The member of a picture: two bytes that are not read, the size, then one index per pixel.
vex::TByteDynArray RawPicture(TPicture picture, std::uint8_t seed) {
  vex::TByteDynArray member = {seed, 0};
  for (const std::uint16_t value : {picture.width, picture.height}) {
    member.push_back(static_cast<std::uint8_t>(value));
    member.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  for (std::size_t i = 0; i < std::size_t{picture.width} * picture.height; ++i)
    member.push_back(static_cast<std::uint8_t>(i * 37 + seed * 11 + 1));
  return member;
}

// The failures a template may be refused with; anything else is a finding.
bool IsTemplateFailure(const std::string& message) {
  static const std::array<std::string, 3> failures = {
      "Bitmap image is not valid", "Stream read error", "Palette template is not an 8-bit bitmap"};
  for (const std::string& failure : failures)
    if (message == failure)
      return true;
  return message.rfind("Assertion failure (vex_graphics.cpp, line ", 0) == 0;
}

std::uint32_t U16At(const std::string& b, std::size_t at) {
  return vex::GetU16(reinterpret_cast<const std::uint8_t*>(b.data() + at));
}

std::uint32_t U32At(const std::string& b, std::size_t at) {
  return vex::GetU32(reinterpret_cast<const std::uint8_t*>(b.data() + at));
}

std::uint8_t ByteAt(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]);
}

std::string CheckColourTable(const std::string& file, std::size_t at, std::size_t entries,
                             std::size_t entrySize,
                             const std::vector<vex::TPaletteEntry>& colours) {
  for (std::size_t i = 0; i < entries; ++i, at += entrySize) {
    const vex::TPaletteEntry c = i < colours.size() ? colours[i] : vex::TPaletteEntry{};
    if (ByteAt(file, at) != c.blue || ByteAt(file, at + 1) != c.green ||
        ByteAt(file, at + 2) != c.red || (entrySize == 4 && ByteAt(file, at + 3) != 0))
      return "colour " + std::to_string(i) + " is not the template's";
  }
  return "";
}

std::string CheckRows(const std::string& file, std::size_t at, const vex::TByteDynArray& member,
                      TPicture picture) {
  const std::size_t stride = (std::size_t{picture.width} + 3) / 4 * 4;
  for (std::size_t fileRow = 0; fileRow < picture.height; ++fileRow, at += stride) {
    const std::size_t y = picture.height - 1 - fileRow; // bottom row of the picture first
    for (std::size_t x = 0; x < stride; ++x) {
      const std::uint8_t expected = x < picture.width ? member[6 + y * picture.width + x] : 0;
      if (ByteAt(file, at + x) != expected)
        return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is wrong";
    }
  }
  return "";
}

// Reads back one written file, field by field.
std::string CheckWrittenPicture(const fs::path& path, const vex::TByteDynArray& member,
                                TPicture picture, const std::vector<vex::TPaletteEntry>& colours) {
  const std::string file = ReadFileBytes(path);
  if (picture.width == 0 || picture.height == 0)
    return file.empty() ? "" : "a picture without pixels gave a non-empty file";
  if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M' || U32At(file, 2) != file.size())
    return "no bitmap file, or its size field is wrong";
  const bool core = U32At(file, 14) == 12;
  if (!core && U32At(file, 14) != 40)
    return "header size " + std::to_string(U32At(file, 14));
  if (file.size() < 14 + 40 && !core)
    return "the file ends inside its header";
  const std::uint32_t width = core ? U16At(file, 18) : U32At(file, 18);
  const std::uint32_t height = core ? U16At(file, 20) : U32At(file, 22);
  const std::uint32_t bits = core ? U16At(file, 24) : U16At(file, 28);
  const std::uint32_t compression = core ? 0 : U32At(file, 30);
  if (width != picture.width || height != picture.height || bits != 8 || compression != 0)
    return "wrong size or format in the header";
  // 256 entries of 3 or 4 bytes, whatever the template's count: the rest are black.
  const std::size_t entries = 256;
  const std::size_t entrySize = core ? 3 : 4;
  const std::size_t tableAt = 14 + (core ? 12 : 40);
  const std::size_t pixelsAt = tableAt + entries * entrySize;
  const std::size_t stride = (std::size_t{picture.width} + 3) / 4 * 4;
  if (U32At(file, 10) != pixelsAt || file.size() != pixelsAt + stride * picture.height)
    return "pixel offset or file size does not match the colour table and rows";
  if (!core && (U32At(file, 34) != stride * picture.height || U32At(file, 46) != entries))
    return "image size or colours used is wrong";
  std::string problem = CheckColourTable(file, tableAt, entries, entrySize, colours);
  return problem.empty() ? CheckRows(file, pixelsAt, member, picture) : problem;
}

std::string CheckConversions(const TInputOutcome& outcome, int converted, const fs::path& out,
                             const TPicture (&pictures)[2], const vex::TByteDynArray (&members)[2],
                             const vex::TBitmap* bitmap) {
  std::error_code error;
  if (!outcome.message.empty()) {
    if (!IsTemplateFailure(outcome.message))
      return "not a template failure";
    if (converted != 0)
      return "the second picture failed after the first went through";
    return fs::exists(out / "a.bmp", error) ? "file made before the template was refused" : "";
  }
  const std::vector<vex::TPaletteEntry>& colours = bitmap->Palette();
  for (int i = 0; i < 2; ++i) {
    const std::string problem =
        CheckWrittenPicture(out / (i == 0 ? "a.bmp" : "b.bmp"), members[i], pictures[i], colours);
    if (!problem.empty())
      return (i == 0 ? "first picture: " : "second picture: ") + problem;
  }
  return "";
}

} // namespace

TInputOutcome CheckTemplateInput(const std::uint8_t* data, std::size_t size) {
  TFuzzWorkspace& workspace = TFuzzWorkspace::Get();
  workspace.ClearOutput();
  workspace.WriteTemplate(data, size);
  std::error_code error;
  fs::create_directory(workspace.OutFolder(), error);
  vex::TRawImageConverter converter(workspace.TemplatePath().string());
  // The last byte picks the pictures' sizes: it is a pixel or padding byte of most templates,
  // so it rarely changes how the template reads.
  const std::uint8_t sizes = size != 0 ? data[size - 1] : 0x23;
  const auto width = static_cast<std::uint16_t>(sizes & 0x0F);
  const auto height = static_cast<std::uint16_t>(sizes >> 4);
  const TPicture pictures[2] = {{width, height}, {height, width}};
  const vex::TByteDynArray members[2] = {RawPicture(pictures[0], 1), RawPicture(pictures[1], 2)};
  TInputOutcome outcome;
  int converted = 0;
  try {
    converter.ConvertRawImage(members[0], workspace.OutFolderString() + "a.bmp");
    ++converted;
    converter.ConvertRawImage(members[1], workspace.OutFolderString() + "b.bmp");
    ++converted;
  } catch (const vex::Exception& e) {
    outcome.message = e.Message();
  }
  outcome.problem = workspace.StrayEntries();
  if (outcome.problem.empty())
    outcome.problem = CheckConversions(outcome, converted, workspace.OutFolder(), pictures, members,
                                       converter.Bitmap());
  return outcome;
}

} // namespace vexfuzz
