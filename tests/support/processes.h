#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace qv82::test {

// Paths of the built executables.
std::string cli_binary();
std::string sim_binary();

struct RunResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs a program to its end (killed after two minutes) with stdin from /dev/null.
RunResult run_program(const std::string& binary, const std::vector<std::string>& args);

// A program left running with its output collected, for tests that signal
// it. stdin is /dev/null.
class RunningProgram {
 public:
  RunningProgram(const std::string& binary, const std::vector<std::string>& args);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // Collects output until the test of it holds; false when the seconds
  // passed or the program ended first.
  bool wait_until(const std::function<bool(const RunResult&)>& done, int seconds);
  void signal(int number);
  // Waits for its end; after the seconds it is killed and status is -1.
  RunResult finish(int seconds);

 private:
  // Reads what is there within the milliseconds; false once both pipes closed.
  bool collect(int timeout_ms);

  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  RunResult result_;
};

// qv82hs-sim on a pseudo-terminal for the length of a test. Its first line
// of output is the slave path; with a link path it also makes that link.
class SimOnPty {
 public:
  explicit SimOnPty(const std::vector<std::string>& args);
  ~SimOnPty();
  SimOnPty(const SimOnPty&) = delete;
  SimOnPty& operator=(const SimOnPty&) = delete;

  const std::string& slave_path() const { return slave_path_; }
  // Writes a line to the simulator's standard input ("insert 2") and
  // returns its answer once the simulator has carried it out (empty after
  // ten seconds without one, or for a line that has no answer).
  std::string send_line(const std::string& line);
  // Ends it (SIGTERM) and waits; returns the exit status.
  int stop();
  // CPU seconds (user + system) the simulator used, known after stop().
  double cpu_seconds() const { return cpu_seconds_; }

 private:
  pid_t pid_ = -1;
  int stdin_fd_ = -1;
  int stdout_fd_ = -1;
  std::string pending_;  // answers' lines not yet taken
  std::string slave_path_;
  double cpu_seconds_ = 0.0;
};

}  // namespace qv82::test
