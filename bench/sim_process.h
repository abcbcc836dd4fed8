#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/processes.h"

namespace qv82::bench {

// A scratch folder holding the installation's data files (settings, I/O
// rules, template), removed with everything in it when the object goes.
class ScratchInstallation {
 public:
  explicit ScratchInstallation(const std::string& name);
  ~ScratchInstallation();
  ScratchInstallation(const ScratchInstallation&) = delete;
  ScratchInstallation& operator=(const ScratchInstallation&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// qv82hs-sim on a pseudo-terminal for the length of a benchmark.
using SimProcess = test::SimOnPty;

// CPU seconds (user + system) of this process so far.
double own_cpu_seconds();
double wall_seconds();

// The simulated device's reply latency in ms: `--latency MS` on the
// benchmark's command line, else the simulator's default of 2. Time the
// device spends before it answers is not the host's; each benchmark also
// states its floor with it.
int device_latency_ms(int argc, char** argv);
// The simulator's options for that latency.
std::vector<std::string> latency_options(int latency_ms);
// ... and for a delivery pattern as well.
std::vector<std::string> sim_options(int latency_ms, const std::string& pattern);

// The delivery patterns to run, as qv82hs-sim's --delivery takes them:
// `--patterns byte,block,8,held:16` on the benchmark's command line, else
// those four (a UART, a whole-block adapter, 8-byte blocks, an FTDI adapter
// whose driver was not asked for low latency).
std::vector<std::string> delivery_patterns(int argc, char** argv);
// The adapter latency a pattern adds to each exchange, in ms (held:L).
double held_ms(const std::string& pattern);

}  // namespace qv82::bench
