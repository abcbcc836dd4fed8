#pragma once

#include <memory>

#include "link/event_pump.h"
#include "link/serial_port.h"

namespace qv82::cli {

// The built-in simulated coin selector in real time, behind --simulate.
class SimulatedConnection {
 public:
  virtual ~SimulatedConnection() = default;
  virtual SerialPort& port() = 0;
  virtual EventPump& pump() = 0;
};

std::unique_ptr<SimulatedConnection> make_simulated_connection();

}  // namespace qv82::cli
