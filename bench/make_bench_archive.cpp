// Writes a benchmark archive and, beside it, the exact tree the tool must unpack it into, the
// pictures converted with the default palette by the tests' own bitmap builder.
//   make_bench_archive full ARCHIVE TREE   every known name once, about 60 MB
//   make_bench_archive big  ARCHIVE TREE   50 members of 4 MB each
//   make_bench_archive one  ARCHIVE TREE   one member of 1 GiB, written in pieces
#include "archive_builder.h"
#include "bmp_builder.h"
#include "default_palette.h"
#include "known_names.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

using vextools::Noise;

namespace fs = std::filesystem;

struct Size {
  std::uint16_t width, height;
};
constexpr Size PictureSizes[] = {{640, 480}, {320, 200}, {104, 48}, {40, 40}, {16, 16}};

// The template the build writes beside the executable, as the tests' builder describes it.
vextest::TemplateLayout DefaultTemplate() {
  vextest::TemplateLayout t;
  t.colours.clear();
  for (const vextools::Rgb& c : vextools::DefaultPalette())
    t.colours.push_back({c.r, c.g, c.b});
  t.xResolution = t.yResolution = 2835;
  return t;
}

// The slot each name lies in, four of them under fixed keys, read back from the filled table.
std::uint16_t KeyOf(std::string_view name) {
  static const std::map<std::string_view, std::uint16_t> keys = [] {
    std::map<std::string_view, std::uint16_t> m;
    for (std::uint32_t k = 0; k <= 0xFFFF; ++k) {
      const std::string_view slot = vex::LookupKnownName(static_cast<std::uint16_t>(k));
      if (!slot.empty())
        m[slot] = static_cast<std::uint16_t>(k);
    }
    return m;
  }();
  return keys.at(name);
}

void Save(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Sizes of non-picture members: tens to hundreds of kilobytes, chosen so the whole archive
// comes to about 60 MB.
std::size_t RawSize(std::uint32_t i) {
  return 8 * 1024 + (i * 7919u) % (116 * 1024);
}

void FullArchive(vextools::ArchiveBuilder& agg, const fs::path& tree) {
  const vextest::TemplateLayout palette = DefaultTemplate();
  std::uint32_t i = 0;
  for (const std::string_view name : vex::KnownNameList()) {
    ++i;
    const std::uint16_t realKey = KeyOf(name);
    const vextest::MemberFile file = vextest::FileOfMember(name);
    if (file.picture) {
      const Size s = PictureSizes[i % std::size(PictureSizes)];
      std::vector<std::uint8_t> pixels = Noise(std::size_t{s.width} * s.height, i);
      agg.Add(realKey, vextools::RawImage(s.width, s.height, pixels));
      Save(tree / file.name,
           vextest::ExpectedBitmapFile(palette, s.width, s.height, pixels.data()));
    } else {
      std::vector<std::uint8_t> bytes = Noise(RawSize(i), i);
      Save(tree / std::string(name), bytes);
      agg.Add(realKey, std::move(bytes));
    }
  }
}

void BigArchive(vextools::ArchiveBuilder& agg, const fs::path& tree) {
  std::uint32_t i = 0;
  for (const std::string_view name : vex::KnownNameList()) {
    if (vextest::FileOfMember(name).picture)
      continue;
    std::vector<std::uint8_t> bytes = Noise(4u << 20, ++i);
    Save(tree / std::string(name), bytes);
    agg.Add(KeyOf(name), std::move(bytes));
    if (i == 50)
      break;
  }
}

// One member of 1 GiB, written straight to the archive and the tree a piece at a time: the
// generator must not hold it whole.
bool OneArchive(const fs::path& archive, const fs::path& tree) {
  constexpr std::uint32_t pieces = 256, piece = 4u << 20;
  const std::string_view name = "kb.pal";
  std::ofstream agg(archive, std::ios::binary), file(tree / std::string(name), std::ios::binary);
  vextest::ByteBuilder head;
  head.U16(1).U16(KeyOf(name)).I32(12).I32(static_cast<std::int32_t>(pieces * piece));
  agg.write(reinterpret_cast<const char*>(head.Get().data()), 12);
  for (std::uint32_t i = 0; i < pieces; ++i) {
    const std::vector<std::uint8_t> bytes = Noise(piece, i + 1);
    agg.write(reinterpret_cast<const char*>(bytes.data()), piece);
    file.write(reinterpret_cast<const char*>(bytes.data()), piece);
  }
  return agg.good() && file.good();
}

} // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 4 ? argv[1] : "";
  if (mode != "full" && mode != "big" && mode != "one") {
    std::fprintf(stderr, "usage: make_bench_archive full|big|one ARCHIVE TREE\n");
    return 2;
  }
  const fs::path tree = argv[3];
  fs::remove_all(tree);
  fs::create_directories(tree);
  if (mode == "one") {
    if (OneArchive(argv[2], tree))
      return 0;
    std::perror(argv[2]);
    return 1;
  }
  vextools::ArchiveBuilder agg;
  if (mode == "full")
    FullArchive(agg, tree);
  else
    BigArchive(agg, tree);
  if (!agg.WriteTo(argv[2])) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
