#include "ui/port/qt_serial_port.h"

#include "lang/language.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <vector>

#ifdef Q_OS_LINUX
#include <grp.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include "link/errors.h"

namespace qv82 {

namespace {

// Serial ports on Linux belong to a group (dialout on Debian) whose members
// may open them; the reason alone does not tell the user that.
std::string permission_hint(const std::string& port) {
#ifdef Q_OS_LINUX
  struct stat info {};
  if (::stat(port.c_str(), &info) != 0) return {};
  // Only where joining the group would help: it may read and write the
  // port, and the user is not in it yet.
  if ((info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) return {};
  std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
  groups.resize(static_cast<std::size_t>(
      std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
  groups.push_back(::getegid());
  if (std::find(groups.begin(), groups.end(), info.st_gid) != groups.end()) return {};
  const group* owner = ::getgrgid(info.st_gid);
  if (owner == nullptr || owner->gr_name == nullptr) return {};
  return language_text(msg::kPortGroupHint, {owner->gr_name, port});
#else
  (void)port;
  return {};
#endif
}

// USB adapters hold received bytes until their latency timer runs out (16 ms
// on FTDI's by default) unless the driver is asked for low latency; with it,
// a reply reaches the program as soon as it has passed the wire. Answers
// what became of the request, for the log.
constexpr const char* kNotAvailable = "not available";

std::string ask_low_latency(int handle) {
#ifdef Q_OS_LINUX
  serial_struct info{};
  if (::ioctl(handle, TIOCGSERIAL, &info) != 0) {
    return std::string(kNotAvailable) + " (" + std::strerror(errno) + ")";
  }
  if ((info.flags & ASYNC_LOW_LATENCY) == 0) {
    info.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(handle, TIOCSSERIAL, &info) != 0) {
      return std::string("refused (") + std::strerror(errno) + ")";
    }
  }
  return "on";
#else
  (void)handle;
  return kNotAvailable;
#endif
}

}  // namespace

QtSerialPort::QtSerialPort() {
  QObject::connect(&port_, &QSerialPort::readyRead, this,
                   [this] { notify_received(static_cast<std::size_t>(port_.bytesAvailable())); });
  QObject::connect(&port_, &QSerialPort::errorOccurred, this,
                   [this](QSerialPort::SerialPortError error) { on_error(error); });
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
    std::string text = port_open_failure(name_, port_.errorString().toStdString());
    if (port_.error() == QSerialPort::PermissionError) text += permission_hint(name_);
    port_.clearError();
    throw PortError(text);
  }
  // Pseudo-terminals and some adapters have no modem lines; the port is
  // usable all the same.
  port_.setDataTerminalReady(false);
  port_.setRequestToSend(true);
  port_.clearError();
  low_latency_ = ask_low_latency(static_cast<int>(port_.handle()));
  const bool has_setting = !low_latency_.starts_with(kNotAvailable);
  if (has_setting && note_handler_ && noted_ports_.insert(name_).second) {
    note_handler_(name_ + ": low latency " + low_latency_ +
                  (low_latency_ == "on" ? ""
                                        : "; replies may arrive as late as the adapter's "
                                          "latency timer"));
  }
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
  if (written < 0) {
    fail(port_write_failure(name_, port_.errorString().toStdString()));
    return 0;
  }
  // The frame must be on the wire before the poll loop starts counting. A
  // failed write closes the port (on_error), which ends the loop.
  while (port_.isOpen() && port_.bytesToWrite() > 0) {
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

void QtSerialPort::on_error(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
      // A read that finds nothing on a readable line, or EIO: the device
      // behind the port is gone. Left open, the port would wake the
      // process for ever.
      fail(port_disconnected(name_));
      break;
    case QSerialPort::WriteError:
      fail(port_write_failure(name_, port_.errorString().toStdString()));
      break;
    default:
      break;  // time-outs and missing modem lines are no failure of the port
  }
}

void QtSerialPort::fail(const std::string& text) {
  if (!port_.isOpen()) return;  // closing may report errors of its own
  // Closing drops whatever was queued in either direction.
  port_.close();
  port_.clearError();
  report_failure(text);
}

}  // namespace qv82
