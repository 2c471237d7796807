// The names members go by: the known name of their key or a fallback from their position, and
// the file each one is unpacked to. Member names are the archive's own, not paths: the rules
// are the same on every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vex {

// The member's name: its known name, else "file_N" with its index in the directory.
std::string MemberName(std::uint16_t key, std::size_t index);

// Whether the member named `name` is a raw 8-bit picture: its extension is ".bmp" or ".bkg",
// ignoring the case of a to z.
bool IsPictureName(std::string_view name);
// Whether the member named `name` is offered as a palette: its extension is ".pal", ignoring
// the case of a to z.
bool IsPaletteName(std::string_view name);
// The name of the file the unpack writes the member `name` as: the name itself, or for a
// ".bkg" picture the name with ".bmp" appended.
std::string MemberFileName(const std::string& name);
// The name of the PNG file the unpack writes the picture `name` (see IsPictureName) as: that of
// its bitmap file with ".png" in place of ".bmp" ("overmain.png", "boat.bkg.png").
std::string PngFileName(const std::string& name);

// `name` with a to z in upper case: the archive's keys fold them alike, so names that differ
// only there stand for one member.
std::string FoldedName(std::string name);
// Whether the member `name` matches `pattern`, in which "*" stands for any run of characters
// and "?" for any one, ignoring the case of a to z.
bool MatchesNamePattern(std::string_view pattern, std::string_view name);

} // namespace vex
