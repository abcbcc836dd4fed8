#pragma once

#include <optional>
#include <string>

#include "sim/bus.h"
#include "sim/device.h"
#include "sim/poll_responder.h"

namespace qv82::sim {

// Typed commands that act on a running simulated device, one per line:
//   insert N            insert a coin of kind N
//   insert N P DELTA    the same with its parameter P (1..13) moved by DELTA (a wrong coin)
//   accept on|off       lift the master inhibit and enable every channel, or inhibit
//   kinds               list the coin kinds
//   dump ADDR LEN       RAM bytes from hex ADDR, LEN (decimal) of them
//   reset | monitor     restart the device / enter its boot monitor
//   fault no-echo on|off, fault drop, fault extra, fault checksum,
//   fault nak, fault slow MS, fault stuck N (0 = none),
//   fault second ADDR|off
//   quit
class Console {
 public:
  Console(Device& device, Bus& bus) : device_(device), bus_(bus) {}

  // Runs one line; returns the text to show (possibly empty).
  std::string run(const std::string& line);
  bool quit_requested() const { return quit_; }

  static const char* help();

 private:
  std::string fault(const std::string& name, const std::string& argument);

  Device& device_;
  Bus& bus_;
  std::optional<PollResponder> second_;
  bool quit_ = false;
};

}  // namespace qv82::sim
