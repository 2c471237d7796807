// The gallery page, written as the unpack reads the pictures: the head, the palettes and the
// member table first, then each picture as its member comes, then the script. Nothing of the
// page is held whole in memory: it goes out in blocks, and only once whole takes OUT's name.
#include "gallery.h"

#include "archive_directory.h"
#include "archive_listing.h"
#include "checked_directory.h"
#include "exceptions.h"
#include "files.h"
#include "member_names.h"
#include "palette_file.h"
#include "paths.h"
#include "raw_image.h"
#include "raw_picture.h"
#include "replacing_file.h"
#include "system_error.h"
#include "unpack_archive.h"

#include <algorithm>
#include <set>

namespace vex {

namespace {

constexpr std::size_t PageBlock = 1 << 16; // what the page collects before it is written out

void AppendBase64(std::string& out, const std::uint8_t* data, std::size_t size) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  out.reserve(out.size() + (size + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const std::uint32_t v =
        std::uint32_t{data[i]} << 16 | std::uint32_t{data[i + 1]} << 8 | data[i + 2];
    out += digits[v >> 18], out += digits[v >> 12 & 63], out += digits[v >> 6 & 63];
    out += digits[v & 63];
  }
  if (i == size)
    return;
  const bool two = i + 2 == size;
  const std::uint32_t v =
      std::uint32_t{data[i]} << 16 | (two ? std::uint32_t{data[i + 1]} << 8 : 0);
  out += digits[v >> 18], out += digits[v >> 12 & 63];
  out += two ? digits[v >> 6 & 63] : '=';
  out += '=';
}

// The page's file: text collected in blocks, written under a temporary name, renamed at the end.
class TPageWriter {
public:
  explicit TPageWriter(const std::string& path) : file_(path, TDurability::Cached) {
    if (!file_.IsOpen())
      RaiseLastSystemError();
  }
  std::string& Text() { return text_; }
  void Flush() {
    if (!text_.empty() && file_.File().Write(text_.data(), text_.size()) != text_.size())
      RaiseLastSystemError();
    text_.clear();
  }
  void FlushIfFull() {
    if (text_.size() >= PageBlock)
      Flush();
  }
  void Commit() {
    Flush();
    file_.Commit("page");
  }

private:
  TReplacingFile file_;
  std::string text_;
};

std::vector<TPaletteEntry> PaddedColours(std::vector<TPaletteEntry> colours) {
  colours.resize(256); // black beyond the palette's own, as its template has
  return colours;
}

std::string TemplateCommand(const std::string& source, const std::string& member,
                            const std::string& templatePath) {
  const std::string out = templatePath.empty() ? PaletteTemplateName : templatePath;
  return "vexagg template " + QuotedForShell(source) + " " +
         (member.empty() ? "" : QuotedForShell(member) + " ") + QuotedForShell(out);
}

TGalleryPalette FilePalette(const std::string& path, const std::string& templatePath) {
  const TFile file = TFile::OpenOrRaise(path, TOpenMode::ReadShareRead);
  const TPalette palette = Concerning(path, [&] { return ReadPalette(file, 0, file.Size()); });
  return {path, PaddedColours(palette.colours), TemplateCommand(path, "", templatePath)};
}

TGalleryPalette TemplatePalette(const std::string& templatePath) {
  const TPaletteTemplate found = ReadPaletteTemplate(templatePath);
  return {"the template, " + templatePath, found.ConvertedColourTable(),
          "This is the template: " + templatePath};
}

// What the archive holds for the page, read before the page is made: its palettes, which
// pictures the unpack will write and which fail its checks, with the reason.
struct TArchiveCensus {
  std::uint64_t archiveSize = 0;
  std::size_t members = 0;
  std::vector<TGalleryPalette> palettes;
  std::vector<std::string> notes;    // palette members that do not read as palettes
  std::vector<std::string> pictures; // names of the pictures that pass the entry checks
  std::vector<std::pair<std::string, std::string>> failed; // picture and reason
};

// The members named *.pal, of each name the last (the one the unpack leaves): a palette is
// recognised by its content, but any 768 bytes read as a raw palette, so the name decides
// which members are tried.
void AddMemberPalettes(const TFile& archive, const TCheckedDirectory& directory,
                       const std::string& archivePath, const std::string& templatePath,
                       TArchiveCensus& census) {
  std::set<std::string> seen;
  std::vector<TGalleryPalette> found;
  for (std::size_t i = directory.entries.size(); i-- > 0;) {
    const std::string& name = directory.names[i];
    if (!IsPaletteName(name) || !seen.insert(FoldedName(name)).second)
      continue;
    const TDirectoryEntry& entry = directory.entries[i];
    try {
      CheckEntry(entry, directory.archiveSize);
      const TPalette palette = ReadPalette(archive, static_cast<std::uint64_t>(entry.offset),
                                           static_cast<std::uint64_t>(entry.size));
      found.push_back(
          {name, PaddedColours(palette.colours), TemplateCommand(archivePath, name, templatePath)});
    } catch (const Exception& e) {
      census.notes.push_back(name + " does not read as a palette: " + e.Message());
    }
  }
  std::reverse(found.begin(), found.end());
  std::reverse(census.notes.begin(), census.notes.end());
  census.palettes.insert(census.palettes.end(), found.begin(), found.end());
}

// The pictures the unpack would refuse at their entry (outside the archive, a negative size)
// are told apart here, since the unpack stops at the first failure; of a name held more than
// once, one entry that fails keeps every entry of that name off the canvases.
void SortPictures(const TCheckedDirectory& directory, TArchiveCensus& census) {
  std::set<std::string> failing, chosen;
  for (std::size_t i = 0; i < directory.entries.size(); ++i) {
    if (!IsPictureName(directory.names[i]))
      continue;
    try {
      CheckEntry(directory.entries[i], directory.archiveSize);
    } catch (const Exception& e) {
      census.failed.emplace_back(directory.names[i], e.Message());
      failing.insert(FoldedName(directory.names[i]));
    }
  }
  for (const std::string& name : directory.names)
    if (IsPictureName(name) && failing.count(FoldedName(name)) == 0 &&
        chosen.insert(FoldedName(name)).second)
      census.pictures.push_back(name);
}

TArchiveCensus TakeCensus(const TGalleryRequest& request) {
  TArchiveCensus census;
  census.palettes.push_back(TemplatePalette(request.templatePath));
  const TFile archive = TFile::OpenOrRaise(request.archivePath, TOpenMode::ReadShareRead);
  TCheckedDirectory directory =
      ReadArchiveDirectory(archive, request.archivePath, TShortArchive::Explained);
  NameMembers(directory);
  census.archiveSize = directory.archiveSize;
  census.members = directory.entries.size();
  AddMemberPalettes(archive, directory, request.archivePath, request.templatePath, census);
  SortPictures(directory, census);
  return census;
}

// Takes the pictures as the unpack hands them over, as stored, and writes each into the page.
class TGallerySink final : public TUnpackSink {
public:
  explicit TGallerySink(TPageWriter& page) : page_(page) {}
  void Begin(const TFile&, const TCheckedDirectory&, const TUnpackPlan&) override {}
  void CopyFile(const std::string& name, const TFile& archive, std::uint64_t offset,
                std::uint64_t count) override {
    buffer_.resize(static_cast<std::size_t>(count));
    if (count != 0)
      archive.ReadExactAt(offset, buffer_.data(), buffer_.size());
    const std::optional<TRawPictureHead> head = ParseRawPictureHead(buffer_.data(), count);
    if (!head)
      Failed(page_.Text(), name, EReadError().Message()); // as the unpack refuses it
    else
      Canvas(name, *head);
    page_.FlushIfFull();
  }
  void WriteFile(const std::string&, TBytesView) override {} // pictures come as stored
  std::size_t Drawn() const { return drawn_; }
  std::size_t NotDrawn() const { return notDrawn_; }

  void Failed(std::string& text, const std::string& name, const std::string& reason) {
    text += "<figure class=\"failed\"><figcaption>" + EscapeHtml(name) + ": " + EscapeHtml(reason) +
            ", not drawn</figcaption></figure>\n";
    ++notDrawn_;
  }

private:
  void Canvas(const std::string& name, const TRawPictureHead& head) {
    const int zoom = GalleryZoom(head.width, head.height);
    std::string& text = page_.Text();
    text += "<figure><canvas data-member=\"" + EscapeHtml(name) + "\" width=\"" +
            std::to_string(head.width) + "\" height=\"" + std::to_string(head.height) +
            "\" style=\"width:" + std::to_string(head.width * zoom) +
            "px;height:" + std::to_string(head.height * zoom) + "px\" data-pixels=\"";
    AppendBase64(text, buffer_.data() + RawPixelsAt, static_cast<std::size_t>(head.PixelCount()));
    text += "\"></canvas><figcaption>" + EscapeHtml(name) + " " + std::to_string(head.width) + "x" +
            std::to_string(head.height) + " &times;" + std::to_string(zoom) +
            "</figcaption></figure>\n";
    ++drawn_;
  }

  TPageWriter& page_;
  std::vector<std::uint8_t> buffer_; // one member at a time, grown to the largest
  std::size_t drawn_ = 0;
  std::size_t notDrawn_ = 0;
};

const char* const PageStyle =
    "body{font-family:sans-serif;margin:1em;background:#eee}"
    "canvas{image-rendering:pixelated;image-rendering:crisp-edges;display:block}"
    "figure{display:inline-block;margin:4px;vertical-align:top}"
    "figcaption{font-size:small}.failed{color:#a00}"
    "table{border-collapse:collapse;font-size:small}td,th{padding:0 .5em;text-align:left}"
    "#command{font-family:monospace}";

void WriteHead(std::string& text, const TGalleryRequest& request, const TArchiveCensus& census) {
  const std::string& path = request.archivePath;
  const std::string name =
      EscapeHtml(path.substr(ExtractFilePath(path, SystemPathSyntax()).size()));
  text += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + name +
          "</title><style>" + PageStyle + "</style></head><body>\n<h1>" + name + "</h1>\n<p>" +
          std::to_string(census.members) + " members, " + std::to_string(census.archiveSize) +
          " bytes</p>\n<p><label>Palette <select id=\"palette\">";
  for (std::size_t i = 0; i < census.palettes.size(); ++i) {
    const TGalleryPalette& palette = census.palettes[i];
    std::vector<std::uint8_t> rgb;
    for (const TPaletteEntry& colour : palette.colours)
      rgb.insert(rgb.end(), {colour.red, colour.green, colour.blue});
    text += std::string("<option") + (i == 0 ? " selected" : "") + " data-command=\"" +
            EscapeHtml(palette.command) + "\" data-colours=\"";
    AppendBase64(text, rgb.data(), rgb.size());
    text += "\">" + EscapeHtml(palette.label) + "</option>";
  }
  text += "</select></label> <span id=\"command\"></span></p>\n";
  for (const std::string& note : census.notes)
    text += "<p class=\"failed\">" + EscapeHtml(note) + "</p>\n";
}

// The member table as `vexagg list` prints it; an archive it cannot list says why instead.
void WriteMemberTable(std::string& text, const std::string& archivePath) {
  std::string rows;
  try {
    rows = ListArchive(archivePath);
  } catch (const Exception& e) {
    text += "<p class=\"failed\">The member table cannot be listed: " + EscapeHtml(e.Message()) +
            "</p>\n";
    return;
  }
  text += "<details><summary>Members</summary><table>\n";
  for (std::size_t at = 0, row = 0; at < rows.size(); ++row) {
    const std::size_t end = rows.find('\n', at);
    const std::string cell = row == 0 ? "th" : "td";
    std::string line = rows.substr(at, end - at), html = "<tr><" + cell + ">";
    for (std::size_t tab; (tab = line.find('\t')) != std::string::npos; line.erase(0, tab + 1))
      html += EscapeHtml(line.substr(0, tab)) + "</" + cell + "><" + cell + ">";
    text += html + EscapeHtml(line) + "</" + cell + "></tr>\n";
    at = end + 1;
  }
  text += "</table></details>\n";
}

} // namespace

std::string EscapeHtml(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\'':
      out += "&#39;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

int GalleryZoom(std::uint16_t width, std::uint16_t height) {
  const int longer = std::max(width, height);
  int zoom = 4;
  while (zoom > 1 && longer * zoom > 256)
    --zoom;
  return zoom;
}

std::string QuotedForShell(const std::string& path) {
  const bool plain =
      !path.empty() && path.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "abcdefghijklmnopqrstuvwxyz"
                                              "0123456789._/-:\\+") == std::string::npos;
  return plain ? path : "\"" + path + "\"";
}

std::string TemporaryGalleryPath(const std::string& tempFolder, const std::string& archivePath,
                                 const TPathSyntax& syntax) {
  const std::string name = archivePath.substr(ExtractFilePath(archivePath, syntax).size());
  const std::string stem = RemoveFileExt(name, syntax);
  return tempFolder + "marlovexine-gallery" + (stem.empty() ? "" : "-" + stem) + ".html";
}

std::string WriteGallery(const TGalleryRequest& request) {
  std::vector<TGalleryPalette> files;
  for (const std::string& path : request.paletteFiles)
    files.push_back(FilePalette(path, request.templatePath));
  TArchiveCensus census = TakeCensus(request);
  census.palettes.insert(census.palettes.end(), files.begin(), files.end());
  TPageWriter page(request.outPath);
  WriteHead(page.Text(), request, census);
  WriteMemberTable(page.Text(), request.archivePath);
  page.Text() += "<h2>Pictures</h2>\n";
  TGallerySink sink(page);
  if (!census.pictures.empty()) {
    TUnpackChoice choice;
    choice.raw = true;
    choice.patterns = census.pictures;
    UnpackArchive(request.archivePath, sink, request.templatePath, choice);
  }
  for (const auto& [name, reason] : census.failed)
    sink.Failed(page.Text(), name, reason);
  page.Text() += std::string("<script>\n") + GalleryScript + "</script>\n</body></html>\n";
  page.Commit();
  return "pictures: " + std::to_string(sink.Drawn()) + " drawn, " +
         std::to_string(sink.NotDrawn()) +
         " not drawn; palettes: " + std::to_string(census.palettes.size()) + "\n";
}

} // namespace vex
