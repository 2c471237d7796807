// The loop that writes an archive's members into a folder.
#pragma once

#include <string>

namespace vex {

// Unpacks every member of the archive at `archivePath` into `outputFolder`, which must end
// with a path delimiter. Pictures take their format and colours from the palette template
// found from `appFolder` (see PaletteTemplatePath), read at the first picture. Raises EFOpenError
// when the archive cannot be opened, EReadError when it is shorter than its directory; then,
// carrying the member's name as its subject, EReadError for a member outside the archive,
// ERangeError for a negative size, EOutOfMemory, and whatever writing or converting a member
// raises. Files written before a failure stay.
void UnpackArchive(const std::string& archivePath, const std::string& outputFolder,
                   const std::string& appFolder);

} // namespace vex
