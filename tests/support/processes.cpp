#include "support/processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace qv82::test {

std::string cli_binary() { return QV82_BINARY_DIR "/src/cli/qv82hs-cli"; }
std::string sim_binary() { return QV82_BINARY_DIR "/src/sim/pty/qv82hs-sim"; }

namespace {

std::vector<char*> make_argv(const std::string& binary, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(binary.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

RunResult run_program(const std::string& binary, const std::vector<std::string>& args) {
  // Longer than any command of the tests takes, shorter than CTest's time-out.
  return RunningProgram(binary, args).finish(120);
}

RunningProgram::RunningProgram(const std::string& binary, const std::vector<std::string>& args) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ == 0) {
    const int null_fd = open("/dev/null", O_RDONLY);
    dup2(null_fd, STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    for (int fd : {null_fd, out[0], out[1], err[0], err[1]}) close(fd);
    auto argv = make_argv(binary, args);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  if (pid_ < 0) throw std::runtime_error("fork failed");
  close(out[1]);
  close(err[1]);
  out_fd_ = out[0];
  err_fd_ = err[0];
}

RunningProgram::~RunningProgram() {
  if (pid_ > 0) finish(0);
}

bool RunningProgram::collect(int timeout_ms) {
  pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
  if (out_fd_ < 0 && err_fd_ < 0) return false;
  if (poll(fds, 2, timeout_ms) <= 0) return true;
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
    char buffer[4096];
    const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
    if (n > 0) {
      (i == 0 ? result_.out : result_.err).append(buffer, static_cast<std::size_t>(n));
    } else {
      close(fds[i].fd);
      (i == 0 ? out_fd_ : err_fd_) = -1;
    }
  }
  return out_fd_ >= 0 || err_fd_ >= 0;
}

bool RunningProgram::wait_until(const std::function<bool(const RunResult&)>& done, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done(result_) && std::chrono::steady_clock::now() < end && collect(100)) {
  }
  return done(result_);
}

void RunningProgram::signal(int number) {
  if (pid_ > 0) kill(pid_, number);
}

RunResult RunningProgram::finish(int seconds) {
  if (pid_ <= 0) return result_;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  const auto in_time = [&] { return std::chrono::steady_clock::now() < end; };
  // The output until the program closes it, then its end.
  while (collect(100) && in_time()) {
  }
  int status = 0;
  bool ended = false;
  while (!(ended = waitpid(pid_, &status, WNOHANG) == pid_) && in_time()) poll(nullptr, 0, 10);
  if (!ended) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  }
  while (collect(100)) {
  }
  result_.status = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  pid_ = -1;
  return result_;
}

SimOnPty::SimOnPty(const std::vector<std::string>& args) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe failed");
  const std::string binary = sim_binary();
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    auto argv = make_argv(binary, args);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  stdin_fd_ = in[1];
  stdout_fd_ = out[0];
  char c;
  while (read(stdout_fd_, &c, 1) == 1 && c != '\n') slave_path_.push_back(c);
  if (slave_path_.empty()) throw std::runtime_error("qv82hs-sim printed no port");
}

SimOnPty::~SimOnPty() { stop(); }

std::string SimOnPty::send_line(const std::string& line) {
  // What an earlier answer of several lines left is not this one's.
  pollfd ready{stdout_fd_, POLLIN, 0};
  while (poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN) != 0) {
    char buffer[4096];
    if (read(stdout_fd_, buffer, sizeof buffer) <= 0) break;
  }
  pending_.clear();
  const std::string text = line + "\n";
  if (write(stdin_fd_, text.data(), text.size()) < 0) throw std::runtime_error("sim stdin closed");
  // The console answers every line it carries out with one (or more) lines.
  for (int waited_ms = 0; waited_ms < 10000 && pending_.find('\n') == std::string::npos;
       waited_ms += 50) {
    pollfd answer{stdout_fd_, POLLIN, 0};
    if (poll(&answer, 1, 50) <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(stdout_fd_, buffer, sizeof buffer);
    if (got <= 0) break;
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
  const std::size_t end = pending_.find('\n');
  return end == std::string::npos ? std::string() : pending_.substr(0, end);
}

int SimOnPty::stop() {
  if (pid_ <= 0) return 0;
  kill(pid_, SIGTERM);
  int status = 0;
  struct rusage usage {};
  wait4(pid_, &status, 0, &usage);
  cpu_seconds_ = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  pid_ = -1;
  if (stdin_fd_ >= 0) close(stdin_fd_);
  stdin_fd_ = -1;
  if (stdout_fd_ >= 0) close(stdout_fd_);
  stdout_fd_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace qv82::test
