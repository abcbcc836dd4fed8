#include <stdexcept>

#include "cli/simulated_connection.h"

namespace qv82::cli {

std::unique_ptr<SimulatedConnection> make_simulated_connection() {
  throw std::runtime_error("the simulated coin selector is not available in this build");
}

}  // namespace qv82::cli
