// libFuzzer target: every input is a palette template, read and used for two conversions. A
// crash, a sanitizer report, an allocation over the limit, a failure that is not one of the
// template failures, or a written file that is not the picture is a finding.
#include "input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexfuzz::AbortOnProblem(vexfuzz::CheckTemplateInput(data, size));
  return 0;
}
