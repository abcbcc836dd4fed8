#include "sim/simulated_setup.h"

namespace qv82::sim {

namespace {

DeviceConfig device_config(const SetupOptions& options) {
  DeviceConfig config = options.device;
  if (options.real_time) config.keep_requests = false;
  return config;
}

}  // namespace

SimulatedSetup::SimulatedSetup(SetupOptions options)
    : line_(scheduler_, options.ports),
      device_(device_config(options)),
      device_port_(options.device_port) {
  line_.stands_in_for_hardware = options.real_time;
  if (options.real_time) {
    auto clock = std::make_unique<RealTimeClock>(scheduler_);
    real_time_ = clock.get();
    clock_ = std::move(clock);
    line_.keep_written = false;
  } else {
    clock_ = std::make_unique<VirtualClock>(scheduler_);
  }
  if (!device_port_.empty()) {
    line_.add_port(device_port_);
    line_.bus(device_port_).attach(device_);
  }
  if (!options.open_port.empty()) {
    line_.set_port_name(options.open_port);
    line_.open();
  }
}

void SimulatedSetup::set_second_device(bool present, std::uint8_t address) {
  second_.reset();
  if (!present || device_port_.empty()) return;
  second_.emplace(address, device_.config().baud_rate);
  line_.bus(device_port_).attach(*second_);
}

}  // namespace qv82::sim
