#include "ui/port/qt_serial_port.h"

#include <QSerialPortInfo>
#include <algorithm>

#include "link/errors.h"

namespace qv82 {

QtSerialPort::QtSerialPort() {
  QObject::connect(&port_, &QSerialPort::readyRead, this,
                   [this] { notify_received(static_cast<std::size_t>(port_.bytesAvailable())); });
}

QtSerialPort::~QtSerialPort() { close(); }

void QtSerialPort::open() {
  if (port_.isOpen()) return;
  port_.setPortName(QString::fromStdString(name_));
  port_.setBaudRate(rate_);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    const int code = static_cast<int>(port_.error());
    port_.clearError();
    throw PortError("Unable to open com port", code);
  }
  // Pseudo-terminals and some adapters have no modem lines; the port is
  // usable all the same.
  port_.setDataTerminalReady(false);
  port_.setRequestToSend(true);
  port_.clearError();
}

void QtSerialPort::close() {
  if (port_.isOpen()) port_.close();
}

bool QtSerialPort::connected() const { return port_.isOpen(); }

void QtSerialPort::set_port_name(const std::string& name) {
  const bool was_open = port_.isOpen();
  close();
  name_ = name;
  if (was_open) open();
}

void QtSerialPort::set_baud_rate(int rate) {
  rate_ = rate;
  if (port_.isOpen()) port_.setBaudRate(rate);
}

std::size_t QtSerialPort::write(const Bytes& data) {
  if (data.empty() || !port_.isOpen()) return 0;
  const qint64 written =
      port_.write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
  if (written < 0) throw PortError("WriteFile function failed", static_cast<int>(port_.error()));
  // The frame must be on the wire before the poll loop starts counting.
  while (port_.bytesToWrite() > 0) {
    if (!port_.waitForBytesWritten(1000)) break;
  }
  return static_cast<std::size_t>(written);
}

Bytes QtSerialPort::read(std::size_t count) {
  const QByteArray chunk = port_.read(static_cast<qint64>(count));
  return Bytes(chunk.begin(), chunk.end());
}

std::vector<std::string> QtSerialPort::list_ports() {
  std::vector<std::string> names = extra_ports_;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const std::string name = info.systemLocation().toStdString();
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

}  // namespace qv82
