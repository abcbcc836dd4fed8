#include "winport/windows_serial_port.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "link/errors.h"

namespace qv82 {

namespace {

// "COM12" and the like open only under the device namespace's name.
std::string device_path(const std::string& name) {
  return name.starts_with("\\\\.\\") ? name : "\\\\.\\" + name;
}

// "COM3" -> 3, anything else -> 0.
int com_number(const std::string& name) {
  if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return 0;
  int number = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    number = number * 10 + (name[i] - '0');
    if (number > 9999) return 0;
  }
  return number;
}

}  // namespace

std::string windows_error_text(DWORD error) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length > 0 && text != nullptr ? std::string(text, length)
                                                     : "system error " + std::to_string(error);
  if (text != nullptr) ::LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                             result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  return result;
}

WindowsSerialPort::WindowsSerialPort(WindowsEventPump& pump)
    : pump_(pump),
      read_event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      write_event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (read_event_ == nullptr || write_event_ == nullptr) {
    throw std::runtime_error("the system refused the serial port's events");
  }
}

WindowsSerialPort::~WindowsSerialPort() {
  close();
  ::CloseHandle(read_event_);
  ::CloseHandle(write_event_);
}

void WindowsSerialPort::open() {
  if (connected()) return;
  handle_ = ::CreateFileA(device_path(name_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    throw PortError(port_open_failure(name_, windows_error_text(::GetLastError())));
  }
  const std::string refused = configure();
  if (!refused.empty()) {
    ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    throw PortError(port_open_failure(name_, refused));
  }
  ::PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
  received_.clear();
  pump_.watch(read_event_, [this] { on_read_done(); });
  start_read();
}

std::string WindowsSerialPort::configure() {
  DCB line{};
  line.DCBlength = sizeof line;
  if (!::GetCommState(handle_, &line)) return windows_error_text(::GetLastError());
  line.BaudRate = static_cast<DWORD>(rate_);
  line.ByteSize = 8;
  line.Parity = NOPARITY;
  line.StopBits = ONESTOPBIT;
  line.fBinary = TRUE;
  line.fParity = FALSE;
  line.fOutxCtsFlow = FALSE;
  line.fOutxDsrFlow = FALSE;
  line.fDtrControl = DTR_CONTROL_DISABLE;
  line.fDsrSensitivity = FALSE;
  line.fOutX = FALSE;
  line.fInX = FALSE;
  line.fNull = FALSE;
  line.fRtsControl = RTS_CONTROL_ENABLE;
  line.fAbortOnError = FALSE;
  if (!::SetCommState(handle_, &line)) return windows_error_text(::GetLastError());
  // One read is always pending and sleeps in the driver until the first byte
  // comes; it completes once the line is quiet for a millisecond (the gap
  // after a frame, or a full buffer). The "return at once or wait for one
  // byte" setting (MAXDWORD/MAXDWORD/N) is not honoured by every driver or
  // emulator, and receive-event waits cost a system call per byte.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 1;
  timeouts.WriteTotalTimeoutConstant = 2000;
  if (!::SetCommTimeouts(handle_, &timeouts)) return windows_error_text(::GetLastError());
  return {};
}

void WindowsSerialPort::start_read() {
  while (connected() && !read_pending_) {
    read_overlapped_ = OVERLAPPED{};
    read_overlapped_.hEvent = read_event_;
    DWORD count = 0;
    if (::ReadFile(handle_, read_buffer_.data(), static_cast<DWORD>(read_buffer_.size()), &count,
                   &read_overlapped_)) {
      // Done at once: the bytes are ours now, the event may stay set.
      ::ResetEvent(read_event_);
      take(count);
      continue;
    }
    if (::GetLastError() != ERROR_IO_PENDING) {
      fail(port_disconnected(name_));
      return;
    }
    read_pending_ = true;
  }
}

void WindowsSerialPort::take(DWORD count) {
  if (count == 0) return;
  received_.insert(received_.end(), read_buffer_.begin(), read_buffer_.begin() + count);
  notify_received(received_.size());
}

void WindowsSerialPort::on_read_done() {
  if (!connected() || !read_pending_) return;
  DWORD count = 0;
  if (!::GetOverlappedResult(handle_, &read_overlapped_, &count, FALSE)) {
    if (::GetLastError() == ERROR_IO_INCOMPLETE) return;
    // The adapter was pulled (or the device removed): the read fails and
    // would fail again at once for ever.
    read_pending_ = false;
    fail(port_disconnected(name_));
    return;
  }
  ::ResetEvent(read_event_);
  read_pending_ = false;
  take(count);
  start_read();
}

void WindowsSerialPort::close() {
  if (!connected()) return;
  pump_.unwatch(read_event_);
  if (read_pending_) {
    ::CancelIo(handle_);
    DWORD count = 0;
    ::GetOverlappedResult(handle_, &read_overlapped_, &count, TRUE);
    read_pending_ = false;
  }
  ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  received_.clear();
}

void WindowsSerialPort::set_port_name(const std::string& name) {
  const bool was_open = connected();
  close();
  name_ = name;
  if (was_open) open();
}

void WindowsSerialPort::set_baud_rate(int rate) {
  rate_ = rate;
  if (!connected()) return;
  DCB line{};
  line.DCBlength = sizeof line;
  if (::GetCommState(handle_, &line)) {
    line.BaudRate = static_cast<DWORD>(rate);
    ::SetCommState(handle_, &line);
  }
}

std::size_t WindowsSerialPort::write(const Bytes& data) {
  if (data.empty() || !connected()) return 0;
  OVERLAPPED overlapped{};
  ::ResetEvent(write_event_);
  overlapped.hEvent = write_event_;
  DWORD written = 0;
  BOOL done = ::WriteFile(handle_, data.data(), static_cast<DWORD>(data.size()), nullptr,
                          &overlapped);
  DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
  // The frame must be on its way before the poll loop starts counting.
  if (done || error == ERROR_IO_PENDING) {
    done = ::GetOverlappedResult(handle_, &overlapped, &written, TRUE);
    if (!done) error = ::GetLastError();
  }
  if (!done) {
    fail(port_write_failure(name_, windows_error_text(error)));
    return 0;
  }
  return written;
}

Bytes WindowsSerialPort::read(std::size_t count) {
  const std::size_t n = std::min(count, received_.size());
  Bytes out(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(n));
  received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(n));
  return out;
}

std::vector<std::string> WindowsSerialPort::list_ports() {
  std::vector<std::string> names = extra_ports_;
  // Every DOS device name; the COM ports among them, in number order.
  std::vector<char> devices(1 << 16);
  DWORD length = 0;
  for (int tries = 0; tries < 4; ++tries) {
    length = ::QueryDosDeviceA(nullptr, devices.data(), static_cast<DWORD>(devices.size()));
    if (length != 0 || ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    devices.resize(devices.size() * 4);
  }
  if (length == 0) throw PortError(port_list_failure(windows_error_text(::GetLastError())));
  std::vector<std::string> found;
  for (const char* at = devices.data(); at < devices.data() + length && *at != '\0';
       at += std::char_traits<char>::length(at) + 1) {
    const std::string name(at);
    if (com_number(name) > 0) found.push_back(name);
  }
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    return com_number(a) < com_number(b);
  });
  for (const std::string& name : found) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

void WindowsSerialPort::fail(const std::string& text) {
  if (!connected()) return;
  close();
  report_failure(text);
}

}  // namespace qv82
