#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/device_config.h"
#include "sim/host_delivery.h"

namespace qv82::sim {

// What the command line of qv82hs-sim asks for.
struct PtyOptions {
  DeviceConfig device;
  std::string link;
  std::string image;
  std::string save_image;
  bool exit_on_eof = false;
  // Answer whatever rate the host's terminal is set to.
  bool any_rate = false;
  // How the bytes reach the host: as a UART hands them over, or gathered
  // into blocks as USB adapters do.
  DeliveryPattern delivery;
  // Faults present from the start.
  bool no_echo = false;
  int slow_ms = 0;
  int stuck_output = 0;
  int second_device = 0;  // its address, 0 = none
  std::vector<NakRule> nak;
  bool flip_bit = false;
  std::optional<int> fail_record;
  char fail_status = '6';
  int fail_times = 1;
  // The terminal goes away once the host has sent this many bytes (0 = never).
  long vanish_after = 0;
  bool show_help = false;
  bool show_version = false;
};

// Throws ConversionError with a message for the user on a bad option.
PtyOptions parse_options(const std::vector<std::string>& args);

const char* usage();

}  // namespace qv82::sim
