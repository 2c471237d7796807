// Builds ".agg" archives for the demo and the benchmark: a u16 member count, 10-byte directory
// entries (u16 key, i32 offset, i32 size), then the members' data in directory order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vextools {

// `size` bytes of deterministic noise: member contents that no two seeds share.
inline std::vector<std::uint8_t> Noise(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> out(size);
  for (auto& b : out) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(seed >> 16);
  }
  return out;
}

class AggWriter {
public:
  void Add(std::uint16_t key, std::vector<std::uint8_t> data) {
    members_.push_back({key, std::move(data)});
  }
  // A raw image member: a 2-byte tag, u16 width, u16 height, then one index per pixel, rows
  // from the top down.
  static std::vector<std::uint8_t> RawImage(std::uint16_t width, std::uint16_t height,
                                            const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> out(6 + pixels.size());
    out[2] = static_cast<std::uint8_t>(width);
    out[3] = static_cast<std::uint8_t>(width >> 8);
    out[4] = static_cast<std::uint8_t>(height);
    out[5] = static_cast<std::uint8_t>(height >> 8);
    std::copy(pixels.begin(), pixels.end(), out.begin() + 6);
    return out;
  }
  bool WriteTo(const std::string& path) const {
    std::vector<std::uint8_t> head;
    auto put = [&head](std::uint32_t v, int bytes) {
      for (int i = 0; i < bytes; ++i)
        head.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(static_cast<std::uint32_t>(members_.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(2 + 10 * members_.size());
    for (const Member& m : members_) {
      put(m.key, 2);
      put(offset, 4);
      put(static_cast<std::uint32_t>(m.data.size()), 4);
      offset += static_cast<std::uint32_t>(m.data.size());
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
      return false;
    bool ok = std::fwrite(head.data(), 1, head.size(), f) == head.size();
    for (const Member& m : members_)
      ok = ok && std::fwrite(m.data.data(), 1, m.data.size(), f) == m.data.size();
    return std::fclose(f) == 0 && ok;
  }

private:
  struct Member {
    std::uint16_t key;
    std::vector<std::uint8_t> data;
  };
  std::vector<Member> members_;
};

} // namespace vextools
