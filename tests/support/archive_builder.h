// The tests' own ".agg" builder: a u16 member count, 10-byte directory entries (u16 key, i32
// offset, i32 size), then the member data. Entries may point anywhere, so tests can build
// broken archives as easily as good ones.
#pragma once

#include "byte_builder.h"

#include <cstdint>
#include <vector>

namespace vextest {

struct ArchiveEntry {
  std::uint16_t key;
  std::int32_t offset;
  std::int32_t size;
};

class ArchiveBuilder {
public:
  // Adds a member whose data is appended after the directory; returns its index.
  std::size_t Add(std::uint16_t key, std::vector<std::uint8_t> data) {
    members_.push_back({key, std::move(data), false, {}});
    return members_.size() - 1;
  }
  // Adds an entry with an explicit offset and size and no data of its own.
  std::size_t AddRaw(ArchiveEntry entry) {
    members_.push_back({entry.key, {}, true, entry});
    return members_.size() - 1;
  }
  // The archive's bytes: count, directory, then the data of the members added with Add.
  std::vector<std::uint8_t> Build() const {
    ByteBuilder out;
    out.U16(static_cast<std::uint16_t>(members_.size())); // member count
    std::uint32_t dataAt = static_cast<std::uint32_t>(2 + 10 * members_.size());
    for (const Member& m : members_) {
      if (m.raw) {
        out.U16(m.entry.key).I32(m.entry.offset).I32(m.entry.size);
        continue;
      }
      out.U16(m.key);                                     // key
      out.U32(m.data.empty() ? 0 : dataAt);               // offset
      out.U32(static_cast<std::uint32_t>(m.data.size())); // size
      dataAt += static_cast<std::uint32_t>(m.data.size());
    }
    for (const Member& m : members_)
      out.Bytes(m.data);
    return out.Get();
  }

private:
  struct Member {
    std::uint16_t key;
    std::vector<std::uint8_t> data;
    bool raw;
    ArchiveEntry entry;
  };
  std::vector<Member> members_;
};

// Deterministic, distinct content for member `seed` of `size` bytes.
inline std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 16);
  }
  return bytes;
}

} // namespace vextest
