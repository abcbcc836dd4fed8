#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/bytes.h"

namespace qv82 {

// The one serial port the coin selector hangs on: 8N1, no flow control,
// DTR inactive, RTS active. Implemented over QSerialPort for real ports and
// pseudo-terminals, and by the simulated line for tests and --simulate.
class SerialPort {
 public:
  // Raised with the number of bytes that have arrived; the handler reads
  // them with read() on the thread that runs the transactions.
  using ReceiveHandler = std::function<void(std::size_t count)>;

  virtual ~SerialPort() = default;

  // Opens the port under its current name unless it is open already.
  // Throws PortError("Unable to open com port NAME: reason") when refused.
  virtual void open() = 0;
  virtual void close() = 0;
  virtual bool connected() const = 0;

  // Stores the name; an open port is closed and opened again under it.
  virtual void set_port_name(const std::string& name) = 0;
  virtual std::string port_name() const = 0;
  // A port of the built-in simulated selector, which is no port to remember.
  virtual bool simulated() const { return false; }

  virtual void set_baud_rate(int rate) = 0;
  virtual int baud_rate() const = 0;

  // Writes every byte; nothing is written for an empty string.
  virtual std::size_t write(const Bytes& data) = 0;
  // The bytes announced by the last receive notification (at most count).
  virtual Bytes read(std::size_t count) = 0;

  // The serial ports present, in the order the system reports them.
  // Throws PortError("Registry error: reason") when the list cannot be read.
  virtual std::vector<std::string> list_ports() = 0;

  void set_receive_handler(ReceiveHandler handler) { receive_handler_ = std::move(handler); }

  // Called when the port failed under use (the adapter was pulled, a write
  // failed); the port has closed itself and holds the text for the user.
  void set_failure_handler(std::function<void()> handler) { failure_handler_ = std::move(handler); }
  // The failure not yet shown to the user; taking it clears it.
  std::optional<std::string> take_failure() { return std::exchange(failure_, std::nullopt); }

 protected:
  void notify_received(std::size_t count) {
    if (receive_handler_ && count > 0) receive_handler_(count);
  }
  // For implementations: the port has closed itself after a failure.
  void report_failure(std::string text) {
    failure_ = std::move(text);
    if (failure_handler_) failure_handler_();
  }

 private:
  ReceiveHandler receive_handler_;
  std::function<void()> failure_handler_;
  std::optional<std::string> failure_;
};

}  // namespace qv82
