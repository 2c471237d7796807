// Making a palette template: the palette is read whole before the template is written, so
// that a template made from itself (or from an archive beside it) reads what was there.
#include "template_maker.h"

#include "checked_directory.h"
#include "exceptions.h"
#include "member_names.h"
#include "replacing_file.h"

namespace vex {

namespace {

TPalette ReadSourcePalette(const TTemplateRequest& request) {
  const TFile source = TFile::OpenOrRaise(request.source, TOpenMode::ReadShareRead);
  if (request.member.empty())
    return Concerning(request.source,
                      [&] { return ReadPalette(source, 0, source.Size(), request.bits); });
  const TCheckedDirectory directory = ReadCheckedDirectory(source, request.source);
  // Of a name held more than once, the last member is the one the unpack leaves.
  const std::string wanted = FoldedName(request.member);
  for (std::size_t i = directory.entries.size(); i-- > 0;) {
    if (FoldedName(directory.names[i]) != wanted)
      continue;
    const TDirectoryEntry& entry = directory.entries[i];
    return Concerning(directory.names[i], [&] {
      return ReadPalette(source, static_cast<std::uint64_t>(entry.offset),
                         static_cast<std::uint64_t>(entry.size), request.bits);
    });
  }
  Exception missing("No member of the archive has this name");
  missing.SetSubject(request.member);
  throw missing;
}

} // namespace

TMadeTemplate BuildTemplate(const TTemplateRequest& request) {
  TMadeTemplate made{ReadSourcePalette(request), {}};
  made.file = EncodePaletteTemplate(made.palette.colours);
  return made;
}

std::string MakeTemplate(const TTemplateRequest& request) {
  const TMadeTemplate made = BuildTemplate(request);
  // A template is the user's own file: it is replaced whole and on the disk, as an archive is,
  // so that a failed write never leaves an empty template for the next unpack.
  Concerning(request.outPath, [&] {
    SaveBufferToFile(request.outPath, made.file, TDurability::OnDisk, "template");
  });
  const TPalette& palette = made.palette;
  const std::size_t count = palette.colours.size();
  return palette.format + "\t" + std::to_string(count) + (count == 1 ? " colour\t" : " colours\t") +
         std::to_string(palette.bits) + "-bit\n";
}

TPaletteTemplate ExtractionTemplate(const std::string& archivePath, const std::string& palette,
                                    TPaletteBits bits) {
  TTemplateRequest request;
  request.bits = bits;
  // A file the user names wins over a member of that name: a palette unpacked beside the archive
  // and edited there is the one they mean.
  if (EntryExists(palette))
    request.source = palette;
  else
    request.source = archivePath, request.member = palette;
  return TPaletteTemplate::Decode(BuildTemplate(request).file);
}

} // namespace vex
