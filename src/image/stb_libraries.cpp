// The one place the stb PNG decoder and encoder are compiled. Only PNG is built in: every
// other format the decoder knows would be code that no file of an unpacked folder may reach.
// Its limits are the picture limit, so that no file can ask for more than a picture may hold.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 65535
#include <cstdlib>
#include <new>

namespace {

// The encoder writes through what its allocations return without a test: memory running out
// must end in the out-of-memory failure every other allocation gives, never in that write.
void* ReallocOrThrow(void* block, std::size_t size) {
  void* grown = std::realloc(block, size);
  if (grown == nullptr && size > 0)
    throw std::bad_alloc();
  return grown;
}

} // namespace

#define STBIW_MALLOC(size) ReallocOrThrow(nullptr, size)
#define STBIW_REALLOC(block, size) ReallocOrThrow(block, size)
#define STBIW_FREE(block) std::free(block)
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image.h>
#include <stb_image_write.h>

#include "stb_zlib.h"

namespace vex {

unsigned char* CompressZlib(const std::uint8_t* data, int size, int& streamSize) {
  constexpr int quality = 8; // what stb_image_write uses for its own PNG files
  // The compressor only reads its input, though it asks for a pointer it could write through.
  return stbi_zlib_compress(const_cast<unsigned char*>(data), size, &streamSize, quality);
}

void ForgetDecoderFailure() {
  stbi__g_failure_reason = nullptr;
}

} // namespace vex
