#include "cli/simulated_connection.h"

#include "sim/simulated_setup.h"

namespace qv82::cli {

namespace {

// The in-process simulated coin selector in real time: the clock sleeps
// until the next line event or the end of each wait.
class RealTimeSimulation : public SimulatedConnection {
 public:
  RealTimeSimulation() : setup_(options()) {}
  SerialPort& port() override { return setup_.line(); }
  EventPump& pump() override { return setup_.clock(); }

 private:
  static sim::SetupOptions options() {
    sim::SetupOptions o;
    o.real_time = true;
    return o;
  }
  sim::SimulatedSetup setup_;
};

}  // namespace

std::unique_ptr<SimulatedConnection> make_simulated_connection() {
  return std::make_unique<RealTimeSimulation>();
}

}  // namespace qv82::cli
