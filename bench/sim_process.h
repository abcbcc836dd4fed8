#pragma once

#include "support/processes.h"

namespace qv82::bench {

// qv82hs-sim on a pseudo-terminal for the length of a benchmark.
using SimProcess = test::SimOnPty;

// CPU seconds (user + system) of this process so far.
double own_cpu_seconds();
double wall_seconds();

}  // namespace qv82::bench
