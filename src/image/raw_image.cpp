// Raw image conversion. Not built yet: image members end the run with a clear message
// instead of a wrong file.
#include "raw_image.h"

namespace vex {

void ConvertRawImage(const TByteDynArray& /*member*/, const std::string& /*outputPath*/) {
  throw Exception("Image conversion is not built yet");
}

} // namespace vex
