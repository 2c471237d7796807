// The zlib compressor that stb_image_write compiles for its own PNG files and leaves out of
// its header; stb_libraries.cpp, where it is compiled, hands it out.
#pragma once

#include <cstdint>

namespace vex {

// The zlib stream of the `size` bytes at `data`, with the compressor's default effort for PNG
// files, its size in `streamSize`: allocated with malloc, for std::free. nullptr when memory
// runs out. Never larger than the bytes stored uncompressed (6 bytes of zlib frame, and 5 for
// each 32767 bytes): the compressor stores them when it cannot do better.
unsigned char* CompressZlib(const std::uint8_t* data, int size, int& streamSize);

} // namespace vex
