// qv82hs-sim: the simulated coin selector behind a pseudo-terminal, served in
// real time by a sleeping ppoll() loop.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/version.h"
#include "link/errors.h"
#include "options.h"
#include "pseudo_terminal.h"
#include "sim/bus.h"
#include "sim/console.h"
#include "sim/device.h"
#include "sim/image_file.h"
#include "sim/scheduler.h"

namespace {

using namespace qv82;
using namespace qv82::sim;

constexpr int kUsageError = 64;
constexpr int kFailure = 1;
// Bytes left unread this long before new host bytes arrive are stale.
constexpr std::uint64_t kStaleUs = 500'000;

int signal_pipe[2] = {-1, -1};

extern "C" void on_signal(int) {
  const char byte = 1;
  const ssize_t ignored = write(signal_pipe[1], &byte, 1);
  (void)ignored;
}

void install_signal_handlers() {
  if (pipe(signal_pipe) != 0) throw std::runtime_error("pipe failed");
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a reader of stdout may go away
}

void print(const std::string& text) {
  if (text.empty()) return;
  std::cout << text << std::endl;
}

DeviceConfig served(DeviceConfig config) {
  config.keep_requests = false;  // the process may run for days
  return config;
}

class Server {
 public:
  Server(const PtyOptions& options, PseudoTerminal& terminal)
      : options_(options),
        terminal_(terminal),
        clock_(scheduler_),
        bus_(scheduler_),
        device_(served(options.device)),
        console_(device_, bus_) {
    bus_.attach(device_);
    bus_.echo = !options.no_echo;
    bus_.set_host_sink([this](const Bytes& bytes, int) { to_host(bytes); });
    bus_.set_delivery(options.delivery);
    device_.faults().extra_latency_us = static_cast<std::uint64_t>(options.slow_ms) * 1000;
    device_.faults().stuck_output = options.stuck_output;
    device_.faults().nak = options.nak;
    device_.faults().flip_written_bit = options.flip_bit;
    if (options.fail_record) {
      device_.monitor().fail_record(*options.fail_record, options.fail_status, options.fail_times);
    }
    if (options.second_device != 0)
      console_.run("fault second " + std::to_string(options.second_device));
  }

  Device& device() { return device_; }

  // Serves until a signal, "quit", the end of input with --exit-on-eof, or
  // the byte count of --vanish-after.
  void run() {
    bool stdin_open = true;
    std::string pending_input;
    for (;;) {
      clock_.catch_up();
      pollfd fds[3] = {{terminal_.master(), POLLIN, 0},
                       {signal_pipe[0], POLLIN, 0},
                       {stdin_open ? STDIN_FILENO : -1, POLLIN, 0}};
      timespec timeout{};
      if (ppoll(fds, 3, until_next_event(timeout), nullptr) < 0 && errno != EINTR) {
        throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
      }
      clock_.catch_up();
      if (fds[1].revents != 0) return;
      if (fds[0].revents & POLLIN) from_host();
      if (vanished_) return;
      if (fds[2].revents != 0) {
        char buffer[512];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
          stdin_open = false;
          if (options_.exit_on_eof) return;
        } else {
          pending_input.append(buffer, static_cast<std::size_t>(n));
          for (std::size_t end; (end = pending_input.find('\n')) != std::string::npos;) {
            print(console_.run(pending_input.substr(0, end)));
            pending_input.erase(0, end + 1);
            if (console_.quit_requested()) return;
          }
        }
      }
    }
  }

 private:
  // Sleeps until the next line event, to the microsecond so that each byte
  // reaches the host at its own time, or forever (null) when the line is idle.
  const timespec* until_next_event(timespec& timeout) const {
    const auto us_left = clock_.us_until_next();
    if (!us_left) return nullptr;
    const std::uint64_t us = *us_left;
    timeout.tv_sec = static_cast<time_t>(us / 1'000'000);
    timeout.tv_nsec = static_cast<long>(us % 1'000'000) * 1000;
    return &timeout;
  }

  void from_host() {
    std::uint8_t buffer[512];
    const ssize_t n = read(terminal_.master(), buffer, sizeof buffer);
    if (n <= 0) return;
    std::size_t count = static_cast<std::size_t>(n);
    if (options_.vanish_after > 0) {
      const auto left = static_cast<std::size_t>(options_.vanish_after - received_);
      if (count >= left) {
        count = left;
        vanished_ = true;
      }
      received_ += static_cast<long>(count);
      if (vanished_) return;
    }
    if (scheduler_.now_us() > last_to_host_us_ + kStaleUs) terminal_.discard_unread();
    int rate = terminal_.host_baud_rate();
    // Unknown rates and --any-rate: the device follows the host.
    if (rate == 0 || options_.any_rate) {
      rate = device_.in_monitor() ? *device_.config().monitor_rates.begin()
                                  : device_.config().baud_rate;
    }
    bus_.host_send(Bytes(buffer, buffer + count), rate);
  }

  void to_host(const Bytes& bytes) {
    last_to_host_us_ = scheduler_.now_us();
    // The master is non-blocking; a full queue (nobody reading) loses bytes
    // as a real line would. A block goes in one write, so the host reads it
    // at once, as from a USB adapter.
    const ssize_t ignored = write(terminal_.master(), bytes.data(), bytes.size());
    (void)ignored;
  }

  const PtyOptions& options_;
  PseudoTerminal& terminal_;
  Scheduler scheduler_;
  RealTimeClock clock_;
  Bus bus_;
  Device device_;
  Console console_;
  std::uint64_t last_to_host_us_ = 0;
  long received_ = 0;
  bool vanished_ = false;
};

bool save(const PtyOptions& options, const Device& device) {
  if (options.save_image.empty()) return true;
  std::string error;
  if (save_image_file(options.save_image, device.memory().nv(), error)) return true;
  std::cerr << "qv82hs-sim: " << error << std::endl;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  PtyOptions options;
  try {
    options = parse_options(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const ConversionError& error) {
    std::cerr << "qv82hs-sim: " << error.what() << std::endl;
    return kUsageError;
  }
  if (options.show_help) {
    std::cout << usage();
    return 0;
  }
  if (options.show_version) {
    std::cout << "qv82hs-sim " << kVersionText << std::endl;
    return 0;
  }

  try {
    install_signal_handlers();
    PseudoTerminal terminal;
    Server server(options, terminal);
    if (!options.image.empty()) {
      Memory::Image image = server.device().memory().nv();
      std::string error;
      if (!load_image_file(options.image, image, error)) {
        std::cerr << "qv82hs-sim: " << error << std::endl;
        return kFailure;
      }
      server.device().memory().load(image);
    }
    if (!options.link.empty()) terminal.make_link(options.link);
    std::cout << terminal.slave_path() << std::endl;

    server.run();
    return save(options, server.device()) ? 0 : kFailure;
  } catch (const std::exception& error) {
    std::cerr << "qv82hs-sim: " << error.what() << std::endl;
    return kFailure;
  }
}
