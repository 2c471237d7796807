// The ".agg" archive and the loop that writes its members into a folder.
#pragma once

#include "archive_directory.h"

#include <string>

namespace vex {

// The name under which the member now being processed is written; empty outside the loop.
// The error box reads it, so a failure leaves it as it was; the next unpack empties it first.
std::string& CurrentMemberName();

// Unpacks every member of the archive at `archivePath` into `outputFolder`, which must end
// with a path delimiter. Pictures take their format and colours from the palette template
// found from `appFolder` (see PaletteTemplatePath), read at the first picture. Raises EFOpenError
// when the archive cannot be opened, EReadError when it is shorter than its directory or a member
// lies outside it, ERangeError for a negative size, and whatever writing or converting a member
// raises. Files written before a failure stay.
void UnpackArchive(const std::string& archivePath, const std::string& outputFolder,
                   const std::string& appFolder);

} // namespace vex
