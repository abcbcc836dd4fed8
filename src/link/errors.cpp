#include "link/errors.h"

namespace qv82 {

std::string port_open_failure(const std::string& port, const std::string& reason) {
  return "Unable to open com port " + port + ": " + reason;
}

std::string port_disconnected(const std::string& port) { return port + " was disconnected"; }

std::string port_write_failure(const std::string& port, const std::string& reason) {
  return "Unable to write to " + port + ": " + reason;
}

std::string port_list_failure(const std::string& reason) { return "Registry error: " + reason; }

}  // namespace qv82
