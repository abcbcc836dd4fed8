#pragma once

#include <QObject>
#include <QSerialPort>
#include <functional>
#include <set>
#include <string>

#include "link/serial_port.h"

namespace qv82 {

// The real port: 8N1, no flow control, DTR inactive and RTS active. A
// pseudo-terminal refuses the modem-line requests; that is not an error. A
// port whose device goes away (EIO, end of file, a failed write) closes
// itself and reports the failure once.
class QtSerialPort : public QObject, public SerialPort {
  Q_OBJECT

 public:
  QtSerialPort();
  ~QtSerialPort() override;

  void open() override;
  void close() override;
  bool connected() const override;
  void set_port_name(const std::string& name) override;
  std::string port_name() const override { return name_; }
  void set_baud_rate(int rate) override;
  int baud_rate() const override { return rate_; }
  std::size_t write(const Bytes& data) override;
  Bytes read(std::size_t count) override;
  std::vector<std::string> list_ports() override;

  // Names tried before the system's ports (a port given on the command line,
  // such as a pseudo-terminal that the system does not list).
  void set_extra_ports(std::vector<std::string> names) { extra_ports_ = std::move(names); }
  // What the driver said to low latency when the port last opened: "on",
  // or why not (a pseudo-terminal has no such setting).
  const std::string& low_latency() const { return low_latency_; }
  // Told once per port name, when the port first opens, whether the driver
  // took low latency; a port without the setting (a pseudo-terminal) is
  // not mentioned.
  void set_note_handler(std::function<void(const std::string&)> handler) {
    note_handler_ = std::move(handler);
  }

 private:
  void on_error(QSerialPort::SerialPortError error);
  void fail(const std::string& text);

  QSerialPort port_;
  std::string name_;
  int rate_ = 9600;
  std::vector<std::string> extra_ports_;
  std::string low_latency_;
  std::function<void(const std::string&)> note_handler_;
  std::set<std::string> noted_ports_;
};

}  // namespace qv82
