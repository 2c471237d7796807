// libFuzzer target: every input is a BASE archive and a bitmap in FOLDER, updated as one run
// of vexagg update. A crash, a sanitizer report, an allocation over the limit, a hang or a
// failed check of OUT and the folders is a finding; a clear failure message is not.
#include "input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexfuzz::AbortOnProblem(vexfuzz::CheckUpdateInput(data, size));
  return 0;
}
