#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

#include "link/bytes.h"
#include "link/event_pump.h"
#include "link/serial_port.h"

namespace qv82 {

// Results of cctalk_transaction.
inline constexpr std::uint8_t kTransactionOk = 0;
inline constexpr std::uint8_t kTransactionChecksumError = 1;
inline constexpr std::uint8_t kTransactionTimeout = 2;
// Results of raw_transfer.
inline constexpr std::uint8_t kRawOk = 0;
inline constexpr std::uint8_t kRawFailed = 255;

inline constexpr std::uint8_t kHostAddress = 1;
inline constexpr unsigned kPollPeriodMs = 10;

// The transaction holder: owns the port and the single receive buffer, and
// is the only road from the application to the coin selector. Everything
// runs on one thread; the busy hooks keep a second transfer from starting
// while the first waits.
class CcTalkLink {
 public:
  CcTalkLink(SerialPort& port, EventPump& pump);
  CcTalkLink(const CcTalkLink&) = delete;
  CcTalkLink& operator=(const CcTalkLink&) = delete;

  SerialPort& port;
  EventPump& pump;

  Bytes rx_buffer;
  bool log_enabled = true;
  // The coin selector in use; callers pass it as the destination. Only
  // decode_date_code reads it here.
  std::uint8_t device_address = 2;

  // Hooks of the main window.
  std::function<void()> busy_start;
  std::function<void()> busy_end;
  std::function<void(const std::string&)> add_log_line;
  // The port failed while nothing was talking to the device (the adapter
  // was pulled from an idle bench): the window shows check_port()'s text.
  std::function<void()> port_failed;
  // How often the port has failed since the link was made: what was written
  // before a failure may be gone (the device switched off, another plugged in).
  std::uint64_t port_failures() const { return port_failures_; }

  // One framed request and its reply. command is the header followed by the
  // data bytes (raw bytes, or hex text unless raw_command). reply receives the
  // whole reply frame (raw bytes, or hex text unless raw_reply); it is left
  // untouched on results 1 and 2. Throws ConversionError for bad hex text,
  // before anything is written.
  std::uint8_t cctalk_transaction(std::uint8_t destination, std::string_view command,
                                  std::string& reply, int max_polls, bool raw_reply,
                                  bool raw_command);
  // Raw command, raw reply: the form nearly every caller uses.
  std::uint8_t cctalk_transaction(std::uint8_t destination, const Bytes& command, Bytes& reply,
                                  int max_polls);

  // Unframed write-and-read of the firmware monitor: the echo of data then
  // exactly reply_length bytes. 0 on success, 255 with reply "6" otherwise.
  std::uint8_t raw_transfer(const Bytes& data, std::uint8_t reply_length, int max_polls,
                            Bytes& reply);

  // Close, switch to 4800/9600/19200/38400 (anything else keeps the rate),
  // open again. Opening may throw PortError.
  void set_baud_rate(int rate);

  // Throws PortError with the failure the port reported and nobody has shown
  // yet (it is shown once). Every wait of the link ends with it, so a port
  // that vanishes abandons the operation in progress.
  void check_port();

  // "2007/3/9" from a ccTalk date code and the device's base year (header AA).
  // Throws ConversionError when the base year cannot be read.
  std::string decode_date_code(std::uint16_t code);

  // Lets time pass, then check_port().
  void wait_ms(unsigned ms);

  // Receive notification of the port: appends the bytes to rx_buffer and
  // wakes a transfer whose reply may now be whole.
  void on_bytes_received(std::size_t count);

 private:
  friend class BusyScope;
  void on_port_failure();
  // The buffer size that makes the reply whole, given what has arrived.
  using ExpectedSize = std::function<std::size_t(const Bytes&)>;
  static constexpr std::size_t kNoWake = std::numeric_limits<std::size_t>::max();

  void log(std::string_view prefix, const Bytes& bytes);
  void clear_rx_buffer();
  std::uint8_t exchange(std::uint8_t destination, const Bytes& command, Bytes& reply,
                        int max_polls);
  // Waits until rx_buffer holds a whole reply that has arrived by
  // accept_by_us (when can_accept) and then stayed unchanged for the
  // settling time, or until give_up_us. True for a reply.
  bool await_reply(const ExpectedSize& expected_size, bool can_accept, std::uint64_t accept_by_us,
                   std::uint64_t give_up_us);

  std::uint64_t last_rx_us_ = 0;     // when the last byte arrived
  std::size_t wake_size_ = kNoWake;  // rx_buffer size that ends a wait early

  // Transfers and waits under way: a port failure inside one is thrown
  // from its next wait, one outside goes to port_failed.
  int in_use_ = 0;
  std::uint64_t port_failures_ = 0;
};

// busy_start now and busy_end on every way out of the scope, exceptions
// included: around each transfer, and around work that waits between
// transfers (the search), so that no second transfer can start inside it.
class BusyScope {
 public:
  explicit BusyScope(CcTalkLink& holder);
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  CcTalkLink& holder_;
};

inline constexpr std::size_t kNeverComplete = std::numeric_limits<std::size_t>::max();

// Completion rule of a framed exchange: the echo of an n-data-byte frame
// followed by one whole reply frame, nothing more.
bool reply_complete(const Bytes& buffer, std::uint8_t destination, std::size_t data_count);
// The size at which such a buffer is complete: known once the reply's length
// byte is in; before that, the size at which it will be. kNeverComplete for
// a buffer that does not begin with the destination (no echo, noise).
std::size_t expected_reply_size(const Bytes& buffer, std::uint8_t destination,
                                std::size_t data_count);
// How long the line must stay quiet after a whole reply before it is taken:
// two byte times at the rate.
std::uint64_t settle_time_us(int baud);

// 8-bit two's complement of the sum, so that a whole frame sums to zero.
std::uint8_t cctalk_checksum(const std::uint8_t* bytes, std::size_t count);

// The frame the host sends: destination, n, 1, header, data, checksum.
Bytes build_frame(std::uint8_t destination, const Bytes& command);

// Data bytes of a reply frame (after the four header bytes, without the
// checksum); empty for anything shorter than a frame.
Bytes reply_data(const Bytes& frame);
// True when the reply frame is an acknowledge (header byte 0).
bool reply_is_ack(const Bytes& frame);

}  // namespace qv82
