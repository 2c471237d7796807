// vexagg template: a palette template made from a palette users already have, in a file of
// its own or as a member of an archive.
#pragma once

#include "bytes.h"
#include "palette_file.h"
#include "palette_template.h"

#include <string>

namespace vex {

struct TTemplateRequest {
  std::string source;  // a palette file, or with `member` the archive holding it
  std::string member;  // the member's name, matched ignoring the case of a to z; may be empty
  std::string outPath; // the template to write
  TPaletteBits bits = TPaletteBits::Guess;
};

// Reads the palette `request` names (see ReadPalette) and writes its template (see
// EncodePaletteTemplate) at `outPath`, making its folder, in place of whatever but a folder
// stands there. Returns the line for standard output: the format found, the number of
// colours and the bits per value read, tab-separated. Raises what opening the source raises;
// for an archive, what ReadCheckedDirectory raises and Exception "No member of the archive
// has this name" with `member` as subject; what ReadPalette raises, with the file or member
// as subject; and what writing the template raises, with `outPath` as subject.
std::string MakeTemplate(const TTemplateRequest& request);

// What MakeTemplate reads and would write: the palette `request` names, and the bytes of its
// template. Raises what MakeTemplate raises before it writes; `outPath` is not looked at.
struct TMadeTemplate {
  TPalette palette;
  TByteDynArray file;
};
TMadeTemplate BuildTemplate(const TTemplateRequest& request);

// The template that `vexagg extract --palette PALETTE` makes its pictures in, built in memory as
// MakeTemplate would write it: PALETTE is the file at that path when anything stands there, else
// the member of the archive at `archivePath` of that name. Raises what BuildTemplate raises for
// that request (Exception "No member of the archive has this name" with `palette` as subject
// when it is neither).
TPaletteTemplate ExtractionTemplate(const std::string& archivePath, const std::string& palette,
                                    TPaletteBits bits);

} // namespace vex
