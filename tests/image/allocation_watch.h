// Watches this program's allocations: allocation_watch.cpp replaces the global operator new
// and remembers the largest single request since the last reset.
#pragma once

#include <cstddef>

namespace vextest {

void ResetLargestAllocation();
std::size_t LargestAllocation();

} // namespace vextest
