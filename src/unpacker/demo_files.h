// The known-name table: the file names of the archive's members, indexed by their 16-bit key.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vex {

// How many names the table knows.
constexpr std::size_t KnownNameCount = 925;

// 65536 slots, one per key; an empty view is an empty slot. Empty until FillKnownNames.
std::array<std::string_view, 65536>& KnownNames();
// The key of a name: rotate left by 9, subtract the character with a to z folded to upper case.
std::uint16_t NameKey(std::string_view name);
// Stores every known name in its slot. Copies no characters and allocates nothing.
void FillKnownNames();
// The name in slot `key`, or an empty view. One direct index; never fails.
std::string_view LookupKnownName(std::uint16_t key);
// The known names in filling order, for tools that build archives.
const std::array<std::string_view, KnownNameCount>& KnownNameList();

} // namespace vex
