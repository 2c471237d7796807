// Which files of an unpacked folder stand for which members: names compared as the archive's
// keys compare them, links refused, and what matches nothing told to the user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vex {

// A file that --add makes a new member.
struct TAddedFile {
  std::string fileName;   // as it stands in the folder
  std::string memberName; // the known name, as the table spells it
  std::uint16_t key;      // the table's key for it
};

struct TFolderMatch {
  std::vector<std::string> files;   // per member: the name of its file in the folder, or empty
  std::vector<TAddedFile> added;    // in name order
  std::vector<std::string> leftOut; // per entry matching nothing: "NAME (why)", in name order
};

// Lists `folder` once and matches its entries to `memberNames` (an archive's, in directory
// order): a file stands for a member when its name is the one the unpack writes the member
// under, or for a picture under that name with ".png" for its ".bmp", ignoring the case of a
// to z; of a name held more than once, only the last member gets it. A JPEG file of a
// member's name (or with `add` of a known picture name) fails; a file of such a name in
// another picture format that is not read is left out, saying what to save instead. With
// `add`, a regular file matching no member but a known name (".bkg.bmp" or ".bkg.png" for a
// ".bkg" picture) becomes a TAddedFile. Raises Exception "No such folder: FOLDER must be the
// folder BASE was unpacked into" for a `folder` where nothing stands, and "Not a folder: ..."
// for a regular file, each with `folder` as subject, without its trailing delimiter; EOSError,
// with `folder` as subject, when it cannot be listed otherwise; Exception with `folder` as
// subject, naming them all, when more than one file matches one member or one known name;
// Exception with the entry's path as subject for a JPEG file of such a name, for a symbolic
// link at a name that would be read, and with `add` for a regular file whose name is not a
// known name.
TFolderMatch MatchFolderToMembers(const std::string& folder,
                                  const std::vector<std::string>& memberNames, bool add);

} // namespace vex
