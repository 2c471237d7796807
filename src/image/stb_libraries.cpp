// The one place the stb PNG decoder and encoder are compiled. Only PNG is built in: every
// other format the decoder knows would be code that no file of an unpacked folder may reach.
// Its limits are the picture limit, so that no file can ask for more than a picture may hold.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 65535
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image.h>
#include <stb_image_write.h>
