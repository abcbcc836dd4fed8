#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/event_pump.h"
#include "sim/device.h"
#include "sim/poll_responder.h"
#include "sim/scheduler.h"
#include "sim/simulated_line.h"

namespace qv82::sim {

struct SetupOptions {
  // Real time for --simulate (no request list or written bytes are kept);
  // virtual time (the default) for tests.
  bool real_time = false;
  // The ports the line lists, in order.
  std::vector<std::string> ports = {"SIM"};
  // The port the device hangs on; empty for a bench without a device.
  std::string device_port = "SIM";
  // The port the line is set to and opened on at start ("" leaves it closed
  // under the first name).
  std::string open_port = "SIM";
  DeviceConfig device;
};

// A complete simulated bench in one object: time, the line, the coin
// selector and an optional second device, ready for
//   SimulatedSetup setup; CcTalkLink link(setup.line(), setup.clock());
class SimulatedSetup {
 public:
  explicit SimulatedSetup(SetupOptions options = {});
  SimulatedSetup(const SimulatedSetup&) = delete;
  SimulatedSetup& operator=(const SimulatedSetup&) = delete;

  Scheduler& scheduler() { return scheduler_; }
  EventPump& clock() { return *clock_; }
  SimulatedLine& line() { return line_; }
  Device& device() { return device_; }
  // Null under virtual time.
  RealTimeClock* real_time_clock() { return real_time_; }

  // Lets time pass (virtual or real) with every line event delivered.
  void advance_ms(unsigned ms) { clock_->wait_ms(ms); }

  // Fault: a second device on the device's bus that answers only the
  // address poll, at the given address.
  void set_second_device(bool present, std::uint8_t address = 3);

 private:
  Scheduler scheduler_;
  std::unique_ptr<EventPump> clock_;
  RealTimeClock* real_time_ = nullptr;
  SimulatedLine line_;
  Device device_;
  std::string device_port_;
  std::optional<PollResponder> second_;
};

}  // namespace qv82::sim
