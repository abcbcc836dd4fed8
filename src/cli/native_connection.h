#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/event_pump.h"
#include "link/serial_port.h"

namespace qv82::cli {

// The real serial port and event pump of the system the program runs on:
// Qt's on Linux, the system's own on Windows.
class NativeConnection {
 public:
  virtual ~NativeConnection() = default;
  virtual SerialPort& port() = 0;
  virtual EventPump& pump() = 0;
};

// extra_port is tried before the system's ports by a search; note tells the
// user what the port's driver did when it opened (low latency).
std::unique_ptr<NativeConnection> make_native_connection(
    const std::optional<std::string>& extra_port, std::function<void(const std::string&)> note);

// What the system's event machinery needs for the life of the program (Qt's
// application object on Linux, nothing on Windows).
std::shared_ptr<void> start_event_system(int& argc, char** argv);

}  // namespace qv82::cli
