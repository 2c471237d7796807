// libFuzzer target: every input is an archive, unpacked whole as one run of the tool. A crash,
// a sanitizer report, an allocation over the limit, a hang or a failed check of what reached
// the disk is a finding; a clear failure message is not.
#include "input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexfuzz::AbortOnProblem(vexfuzz::CheckUnpackInput(data, size));
  return 0;
}
