#include "sim_process.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace qv82::bench {

SimProcess::SimProcess(const std::vector<std::string>& args) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    std::vector<char*> argv;
    const std::string binary = QV82_BINARY_DIR "/src/sim/pty/qv82hs-sim";
    argv.push_back(const_cast<char*>(binary.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  // The first line is the slave's path.
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') port_.push_back(c);
  close(out[0]);
  if (port_.empty()) throw std::runtime_error("qv82hs-sim printed no port");
}

SimProcess::~SimProcess() { stop(); }

double SimProcess::stop() {
  if (pid_ <= 0) return 0.0;
  kill(pid_, SIGTERM);
  int status = 0;
  struct rusage usage {};
  wait4(pid_, &status, 0, &usage);
  pid_ = -1;
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double own_cpu_seconds() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double wall_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace qv82::bench
