#include "cli/native_connection.h"
#include "winport/windows_event_pump.h"
#include "winport/windows_serial_port.h"

namespace qv82::cli {

namespace {

class WindowsConnection : public NativeConnection {
 public:
  explicit WindowsConnection(const std::optional<std::string>& extra_port) : port_(pump_) {
    if (extra_port) port_.set_extra_ports({*extra_port});
  }
  SerialPort& port() override { return port_; }
  EventPump& pump() override { return pump_; }

 private:
  WindowsEventPump pump_;  // first: the port watches its handles
  WindowsSerialPort port_;
};

}  // namespace

// Windows ports have no low-latency setting to tell about.
std::unique_ptr<NativeConnection> make_native_connection(
    const std::optional<std::string>& extra_port, std::function<void(const std::string&)>) {
  return std::make_unique<WindowsConnection>(extra_port);
}

std::shared_ptr<void> start_event_system(int&, char**) { return nullptr; }

}  // namespace qv82::cli
