#pragma once

#include <stdexcept>
#include <string>

#include "files/conversion.h"

namespace qv82 {

// A failure of the serial port, worded as the user sees it: which port, and
// the system's reason ("Unable to open com port /dev/ttyUSB0: Permission
// denied", "/dev/ttyUSB0 was disconnected").
class PortError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The texts of the port's failures.
std::string port_open_failure(const std::string& port, const std::string& reason);
std::string port_disconnected(const std::string& port);
std::string port_write_failure(const std::string& port, const std::string& reason);
std::string port_list_failure(const std::string& reason);

}  // namespace qv82
