#pragma once

#include <windows.h>

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "winport/windows_event_pump.h"

namespace qv82 {

// A COM port of Windows: 8N1, no flow control, DTR inactive and RTS active.
// While the port is open a wait for received bytes is always armed; its
// event, seen by the event pump's waits, hands the bytes to the link.
// A port whose device goes away closes itself and reports it once.
class WindowsSerialPort : public SerialPort {
 public:
  explicit WindowsSerialPort(WindowsEventPump& pump);
  ~WindowsSerialPort() override;
  WindowsSerialPort(const WindowsSerialPort&) = delete;
  WindowsSerialPort& operator=(const WindowsSerialPort&) = delete;

  void open() override;
  void close() override;
  bool connected() const override { return handle_ != INVALID_HANDLE_VALUE; }
  void set_port_name(const std::string& name) override;
  std::string port_name() const override { return name_; }
  void set_baud_rate(int rate) override;
  int baud_rate() const override { return rate_; }
  std::size_t write(const Bytes& data) override;
  Bytes read(std::size_t count) override;
  std::vector<std::string> list_ports() override;

  // Names tried before the system's ports (a port given on the command line).
  void set_extra_ports(std::vector<std::string> names) { extra_ports_ = std::move(names); }

 private:
  // Line settings and time-outs; the system's reason when it refused.
  std::string configure();
  // Keeps one read pending in the driver (taking what reads that finish at
  // once bring).
  void start_read();
  // The pending read finished: hands its bytes on and starts the next.
  void on_read_done();
  void take(DWORD count);  // hands bytes the last read got to the core
  void fail(const std::string& text);

  WindowsEventPump& pump_;
  std::string name_;
  int rate_ = 9600;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  HANDLE read_event_ = nullptr;
  HANDLE write_event_ = nullptr;
  OVERLAPPED read_overlapped_{};
  bool read_pending_ = false;  // a ReadFile is in the driver
  std::array<std::uint8_t, 512> read_buffer_{};
  std::deque<std::uint8_t> received_;
  std::vector<std::string> extra_ports_;
};

// The system's text for an error number, without the line end.
std::string windows_error_text(DWORD error);

}  // namespace qv82
