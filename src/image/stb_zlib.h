// What stb compiles and leaves out of its headers, handed out by stb_libraries.cpp, where it is
// compiled: the zlib compressor of stb_image_write's own PNG files, and a way to forget the
// decoder's last failure.
#pragma once

#include <cstdint>

namespace vex {

// The zlib stream of the `size` bytes at `data`, with the compressor's default effort for PNG
// files, its size in `streamSize`: allocated with malloc, for std::free. nullptr when memory
// runs out. Never larger than the bytes stored uncompressed (6 bytes of zlib frame, and 5 for
// each 32767 bytes): the compressor stores them when it cannot do better.
unsigned char* CompressZlib(const std::uint8_t* data, int size, int& streamSize);

// Clears the reason stbi_failure_reason gives. The decoder keeps a failure's reason until the
// next failure that has one, and gives up on some corrupt streams without one: a decode that
// starts clear cannot be told the reason an earlier file failed for.
void ForgetDecoderFailure();

} // namespace vex
