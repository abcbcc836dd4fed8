#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qv82::bench {

// qv82hs-sim started on a pseudo-terminal for the length of a benchmark.
class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const std::string& port() const { return port_; }
  // Ends the simulator and returns its CPU seconds (user + system).
  double stop();

 private:
  pid_t pid_ = -1;
  std::string port_;
};

// CPU seconds (user + system) of this process so far.
double own_cpu_seconds();
double wall_seconds();

}  // namespace qv82::bench
