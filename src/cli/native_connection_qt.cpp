#include <QCoreApplication>

#include "cli/native_connection.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

namespace qv82::cli {

namespace {

class QtConnection : public NativeConnection {
 public:
  QtConnection(const std::optional<std::string>& extra_port,
               std::function<void(const std::string&)> note) {
    if (extra_port) port_.set_extra_ports({*extra_port});
    port_.set_note_handler(std::move(note));
  }
  SerialPort& port() override { return port_; }
  EventPump& pump() override { return pump_; }

 private:
  QtSerialPort port_;
  QtEventPump pump_;
};

}  // namespace

std::unique_ptr<NativeConnection> make_native_connection(
    const std::optional<std::string>& extra_port, std::function<void(const std::string&)> note) {
  return std::make_unique<QtConnection>(extra_port, std::move(note));
}

// The serial port needs Qt's event loop; no window is ever shown.
std::shared_ptr<void> start_event_system(int& argc, char** argv) {
  return std::make_shared<QCoreApplication>(argc, argv);
}

}  // namespace qv82::cli
