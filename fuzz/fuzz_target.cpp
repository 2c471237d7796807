// The libFuzzer targets, one per check of input_checks.h: CMake builds this file as fuzz_unpack,
// fuzz_template, fuzz_update and fuzz_palette, each with VEX_FUZZ_CHECK naming its check. A crash,
// a sanitizer report, an allocation over the limit, a hang or a problem the check finds is a
// finding; a clear failure message is not. A problem is printed, then the process aborts, so
// that libFuzzer keeps the input as a crash.
#include "input_checks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vexfuzz::TInputOutcome outcome = vexfuzz::VEX_FUZZ_CHECK(data, size);
  if (outcome.problem.empty())
    return 0;
  std::fprintf(stderr, "\n== fuzz check failed: %s\n   (message \"%s\", member \"%s\")\n",
               outcome.problem.c_str(), outcome.message.c_str(), outcome.member.c_str());
  std::abort();
}
