// What an unpack settles before it writes anything: the file each member becomes, which
// members a later one replaces, and whether the output folder's disk has room for the rest.
#pragma once

#include "archive_directory.h"
#include "checked_directory.h"
#include "files.h"
#include "raw_image.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vex {

struct TUnpackPlan {
  std::vector<std::string> names;     // each member's name, the subject of its failures
  std::vector<std::string> fileNames; // the file each member is written as
  std::vector<bool> chosen;           // whether the member is unpacked at all
  std::vector<bool> converted;        // whether it is a picture made into a bitmap file
  std::vector<bool> replacedLater;    // whether a later chosen member writes the same file
  std::vector<std::string> unmatched; // the patterns that chose no member
  std::size_t files = 0;              // the files the chosen members leave
  bool choosesAll = true;             // no patterns: every member, and the folder, is wanted
  TPictureFile pictureFile = TPictureFile::Bitmap; // what the converted pictures become
};

// The plan for the archive directory `entries`. Every member is chosen when `patterns` is
// empty, else those whose names match one of them (see MatchesNamePattern). With `raw`,
// pictures are written as stored, under their own names, as every other member is; else as
// `pictureFile` says, under MemberFileName's or PngFileName's name. Raises nothing.
TUnpackPlan PlanUnpack(const std::vector<TDirectoryEntry>& entries,
                       const std::vector<std::string>& patterns = {}, bool raw = false,
                       TPictureFile pictureFile = TPictureFile::Bitmap);

// Bytes by file name.
using TFileSizes = std::unordered_map<std::string, std::uint64_t>;

// The room an unpack needs, from the size of each file it writes (`written`) and of the regular
// file already at that name (`replaced`, where one stands): what the files grow by where the
// old file is smaller, plus, since a file is replaced only once its new one is whole, the largest
// file that stands twice for a moment (the smaller of the old and the new).
std::uint64_t UnpackSpaceNeeded(const TFileSizes& written, const TFileSizes& replaced);

// Raises Exception "Not enough disk space: the archive unpacks to N bytes, M are free" when the
// UnpackSpaceNeeded of the plan is more than the free space of `outputFolder` (a path ending
// with its delimiter), or of the nearest folder above it that exists. Each file counts as the
// last chosen member written to it: pictures at their written size (see WrittenPictureSize:
// PNG files at the most they can take). A member that fails its checks counts nothing, since it
// fails before its file exists; a disk the system cannot tell about passes, and the first write
// then fails with its own error. A folder with none of the files costs one listing, not a look
// per member.
void CheckDiskSpace(const TFile& archive, const TCheckedDirectory& directory,
                    const TUnpackPlan& plan, const std::string& outputFolder);

} // namespace vex
