// vexagg gallery: one self-contained page that draws every picture of an archive in each of the
// palettes that may be its own, so that the user looks before choosing a template.
#pragma once

#include "palette_template.h"
#include "paths.h"

#include <string>
#include <vector>

namespace vex {

// The script the page carries: it decodes the pictures' indices and the palettes, draws every
// canvas in the chosen palette and shows the command that makes that palette the template.
extern const char* const GalleryScript;

// A palette offered on the page: its label, the 256 colours the pictures take in it (short
// palettes padded with black, as their template would be), and the command that makes it the
// template, or a note where it is the template already.
struct TGalleryPalette {
  std::string label;
  std::vector<TPaletteEntry> colours;
  std::string command;
};

struct TGalleryRequest {
  std::string archivePath;
  std::string outPath;                   // the page
  std::vector<std::string> paletteFiles; // --palette FILE, in order
  std::string templatePath;              // as PaletteTemplatePath gave it
};

// `text` with &, <, >, " and ' written as character references, for element text and quoted
// attribute values alike.
std::string EscapeHtml(const std::string& text);
// The whole-number zoom a picture of `width` x `height` is drawn at: the largest, up to 4, that
// keeps its longer side within 256 screen pixels, and 1 for a picture that is larger already.
int GalleryZoom(std::uint16_t width, std::uint16_t height);
// `path` as a shell takes it: as it stands when it holds only letters, digits and "._/-:\+",
// else in double quotes.
std::string QuotedForShell(const std::string& path);

// Where `vexagg gallery --open` puts the page when the user names none: in `tempFolder` (with
// its trailing delimiter), "marlovexine-gallery-" and the archive's file name without its
// extension, then ".html"; "marlovexine-gallery.html" for an archive named by an extension
// alone. One name per archive name, so that showing an archive again replaces its last page
// instead of piling up pages.
std::string TemporaryGalleryPath(const std::string& tempFolder, const std::string& archivePath,
                                 const TPathSyntax& syntax);

// Writes the gallery page `request` asks for, whole or not at all (see TReplacingFile).
// Options of its palette list: the template at `templatePath` (selected), the members of the
// archive named *.pal that read as palettes as `vexagg template` reads them (a member that does
// not is named on the page with the reason), and each file of `paletteFiles`. Pictures are read
// one at a time as the unpack reads them and go into the page as they come, so that memory is
// bounded by the largest member; one that fails the unpack's checks is listed with the
// unpack's message instead of being drawn. Raises, before the page is created: what reading a
// palette file raises, with the file as subject; what ReadPaletteTemplate raises; what opening
// the archive and ReadArchiveDirectory raise; then what reading a member or writing the page
// raises. Returns the line for standard output: the pictures drawn and not, the palettes.
std::string WriteGallery(const TGalleryRequest& request);

} // namespace vex
