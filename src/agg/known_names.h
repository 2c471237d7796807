// The known-name table: the file names of the archive's members, indexed by their 16-bit key.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vex {

// How many names the table knows.
constexpr std::size_t KnownNameCount = 925;

// A name stored under a key that its text does not hash to.
struct TFixedKey {
  std::string_view name;
  std::uint16_t key;
};
// The four names whose keys do not follow NameKey.
extern const std::array<TFixedKey, 4> FixedKeys;

// The key of a name: rotate left by 9, subtract the character with a to z folded to upper case.
std::uint16_t NameKey(std::string_view name);
// The key a known name is stored under: its fixed key, else NameKey.
std::uint16_t KeyOf(std::string_view name);

// 65536 slots, one per key; an empty view is an empty slot. Filled on first use, so no caller
// has to prepare it; copies no characters.
const std::array<std::string_view, 65536>& KnownNames();
// The name in slot `key`, or an empty view. One direct index; never fails.
std::string_view LookupKnownName(std::uint16_t key);
// The known names in filling order, for tools that build archives.
const std::array<std::string_view, KnownNameCount>& KnownNameList();

} // namespace vex
