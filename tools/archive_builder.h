// Builds ".agg" archives for the demo, the benchmark and the tests: a u16 member count, 10-byte
// directory entries (u16 key, i32 offset, i32 size), then the members' data in directory order.
// Entries may also point anywhere, so that tests build broken archives as easily as good ones.
// Fields are put little-endian here, apart from the tool's own helpers: an archive the tests
// build must not share a byte-order fault with the reader it is fed to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vextools {

// The `width` bytes of `v`, least significant first.
inline void PutField(std::vector<std::uint8_t>& out, std::uint32_t v, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i)
    out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// `size` bytes of deterministic noise: member contents that no two seeds share.
inline std::vector<std::uint8_t> Noise(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> out(size);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : out) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 16);
  }
  return out;
}

// A raw image member: two bytes the tool does not read, u16 width, u16 height, then one
// palette index per pixel, rows from the top down.
inline std::vector<std::uint8_t> RawImage(std::uint16_t width, std::uint16_t height,
                                          const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> out;
  PutField(out, 0, 2);      // not read
  PutField(out, width, 2);  // width
  PutField(out, height, 2); // height
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

struct ArchiveEntry {
  std::uint16_t key;
  std::int32_t offset;
  std::int32_t size;
};

class ArchiveBuilder {
public:
  // Adds a member whose data is appended after the directory; returns its index.
  std::size_t Add(std::uint16_t key, std::vector<std::uint8_t> data) {
    members_.push_back({{key, 0, 0}, std::move(data), false});
    return members_.size() - 1;
  }
  // Adds an entry with an explicit offset and size and no data of its own.
  std::size_t AddRaw(ArchiveEntry entry) {
    members_.push_back({entry, {}, true});
    return members_.size() - 1;
  }
  // The archive's bytes: count, directory, then the data of the members added with Add.
  std::vector<std::uint8_t> Build() const {
    std::vector<std::uint8_t> out = Directory();
    for (const Member& m : members_)
      out.insert(out.end(), m.data.begin(), m.data.end());
    return out;
  }
  // Writes the archive to `path`, a member at a time; false when the file cannot be written.
  bool WriteTo(const std::string& path) const {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
      return false;
    const std::vector<std::uint8_t> head = Directory();
    bool written = std::fwrite(head.data(), 1, head.size(), f) == head.size();
    for (const Member& m : members_)
      written = written && std::fwrite(m.data.data(), 1, m.data.size(), f) == m.data.size();
    return std::fclose(f) == 0 && written;
  }

private:
  struct Member {
    ArchiveEntry entry; // key only, for members added with Add
    std::vector<std::uint8_t> data;
    bool raw;
  };
  // The count and the directory; an empty member's offset is 0.
  std::vector<std::uint8_t> Directory() const {
    std::vector<std::uint8_t> out;
    PutField(out, static_cast<std::uint32_t>(members_.size()), 2); // member count
    auto dataAt = static_cast<std::int32_t>(2 + 10 * members_.size());
    for (const Member& m : members_) {
      const auto size = static_cast<std::int32_t>(m.data.size());
      const std::int32_t offset = m.raw ? m.entry.offset : (size == 0 ? 0 : dataAt);
      PutField(out, m.entry.key, 2);                                             // key
      PutField(out, static_cast<std::uint32_t>(offset), 4);                      // offset
      PutField(out, static_cast<std::uint32_t>(m.raw ? m.entry.size : size), 4); // size
      dataAt += size;
    }
    return out;
  }

  std::vector<Member> members_;
};

} // namespace vextools
