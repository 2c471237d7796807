// The loop that writes an archive's members into a folder.
#pragma once

#include <string>

namespace vex {

// Unpacks every member of the archive at `archivePath` into `outputFolder`, which must end
// with a path delimiter. Pictures take their format and colours from the palette template
// found from `appFolder` (see PaletteTemplatePath), read at the first picture. What stands at
// a member's file name is replaced by a new file (TOpenMode::CreateAlways); a member whose file
// a later member writes again is checked but not written. Raises EFOpenError when the archive
// cannot be opened, EReadError when it is shorter than its directory, Exception "Not enough
// disk space: ..." before anything is written (see CheckDiskSpace); then, carrying the
// member's name as its subject, EReadError for a member outside the archive or a read that
// fails (a raw member's partial file is removed), ERangeError for a negative size,
// EOutOfMemory for a picture, and whatever writing or converting a member raises. Files
// written before a failure stay.
void UnpackArchive(const std::string& archivePath, const std::string& outputFolder,
                   const std::string& appFolder);

} // namespace vex
