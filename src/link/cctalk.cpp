#include "link/cctalk.h"

#include <algorithm>

#include "link/errors.h"

namespace qv82 {

namespace {

// The poll counter is one byte wide: budgets outside 1..255 make no sense.
int clamp_polls(int max_polls) { return std::clamp(max_polls, 1, 255); }

// A frame carries at most 255 data bytes in its length byte; ccTalk allows
// fewer, but anything longer than the length byte can say is refused here
// rather than sent with a wrapped length.
constexpr std::size_t kMaxCommandBytes = 256;

}  // namespace

std::uint8_t cctalk_checksum(const std::uint8_t* bytes, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>(256 - (sum % 256));
}

Bytes build_frame(std::uint8_t destination, const Bytes& command) {
  Bytes frame;
  frame.reserve(command.size() + 4);
  frame.push_back(destination);
  frame.push_back(static_cast<std::uint8_t>(command.size() - 1));
  frame.push_back(kHostAddress);
  frame.insert(frame.end(), command.begin(), command.end());
  frame.push_back(cctalk_checksum(frame.data(), frame.size()));
  return frame;
}

bool reply_complete(const Bytes& buffer, std::uint8_t destination, std::size_t data_count) {
  const std::size_t n = data_count;
  if (buffer.size() < 2 || buffer[0] != destination) return false;
  if (buffer.size() <= n + 6) return false;
  return buffer.size() == n + 10 + buffer[n + 6];
}

Bytes reply_data(const Bytes& frame) {
  if (frame.size() < 5) return {};
  return Bytes(frame.begin() + 4, frame.end() - 1);
}

bool reply_is_ack(const Bytes& frame) { return frame.size() >= 5 && frame[3] == 0; }

BusyScope::BusyScope(TccTfrm& holder) : holder_(holder) {
  ++holder_.in_use_;
  if (holder_.busy_start) holder_.busy_start();
}

BusyScope::~BusyScope() {
  --holder_.in_use_;
  if (holder_.busy_end) holder_.busy_end();
}

TccTfrm::TccTfrm(SerialPort& port, EventPump& event_pump) : ComPort1(port), pump(event_pump) {
  ComPort1.set_receive_handler([this](std::size_t count) { ComPort1RxChar(count); });
  ComPort1.set_failure_handler([this] { on_port_failure(); });
}

void TccTfrm::on_port_failure() {
  rx_buffer.clear();
  if (in_use_ == 0 && port_failed) port_failed();
}

void TccTfrm::check_port() {
  if (auto failure = ComPort1.take_failure()) throw PortError(*failure);
}

void TccTfrm::wait_ms(unsigned ms) {
  ++in_use_;
  try {
    pump.wait_ms(ms);
  } catch (...) {
    --in_use_;
    throw;
  }
  --in_use_;
  check_port();
}

void TccTfrm::ComPort1RxChar(std::size_t count) {
  const Bytes chunk = ComPort1.read(count);
  rx_buffer.insert(rx_buffer.end(), chunk.begin(), chunk.end());
}

void TccTfrm::log(std::string_view prefix, const Bytes& bytes) {
  if (log_enabled && add_log_line) add_log_line(std::string(prefix) + bytes_to_hex(bytes));
}

std::uint8_t TccTfrm::exchange(std::uint8_t destination, const Bytes& command, Bytes& reply,
                               int max_polls) {
  wait_ms(kPollPeriodMs);
  if (command.empty() || command.size() > kMaxCommandBytes) return kTransactionTimeout;

  const Bytes frame = build_frame(destination, command);
  const std::size_t n = command.size() - 1;
  log("-> ", frame);

  rx_buffer.clear();
  if (ComPort1.connected()) ComPort1.write(frame);

  const int polls = clamp_polls(max_polls);
  bool complete = false;
  for (int counter = 0; counter < polls && !complete;) {
    wait_ms(kPollPeriodMs);
    complete = reply_complete(rx_buffer, destination, n);
    ++counter;
  }
  if (!complete) return kTransactionTimeout;

  Bytes answer(rx_buffer.begin() + static_cast<std::ptrdiff_t>(n + 5), rx_buffer.end());
  if (cctalk_checksum(answer.data(), answer.size() - 1) != answer.back()) {
    return kTransactionChecksumError;
  }
  log("<- ", answer);
  reply = std::move(answer);
  return kTransactionOk;
}

std::uint8_t TccTfrm::cctalk_transaction(std::uint8_t destination, const Bytes& command,
                                         Bytes& reply, int max_polls) {
  BusyScope busy(*this);
  return exchange(destination, command, reply, max_polls);
}

std::uint8_t TccTfrm::cctalk_transaction(std::uint8_t destination, std::string_view command,
                                         std::string& reply, int max_polls, bool raw_reply,
                                         bool raw_command) {
  BusyScope busy(*this);
  const Bytes bytes = raw_command ? text_to_bytes(command) : hex_to_bytes(command);
  Bytes answer;
  const std::uint8_t result = exchange(destination, bytes, answer, max_polls);
  if (result == kTransactionOk) reply = raw_reply ? bytes_to_text(answer) : bytes_to_hex(answer);
  return result;
}

std::uint8_t TccTfrm::raw_transfer(const Bytes& data, std::uint8_t reply_length, int max_polls,
                                   Bytes& reply) {
  BusyScope busy(*this);
  reply.clear();
  rx_buffer.clear();
  log("-> ", data);
  ComPort1.write(data);

  const std::size_t expected = data.size() + reply_length;
  bool received = false;
  for (int counter = 0;;) {
    wait_ms(kPollPeriodMs);
    ++counter;
    if (counter >= max_polls) break;  // the last period is never looked at
    if (rx_buffer.size() == expected) {
      received = true;
      break;
    }
  }
  if (!received) {
    reply = text_to_bytes("6");
    return kRawFailed;
  }
  reply.assign(rx_buffer.begin() + static_cast<std::ptrdiff_t>(data.size()), rx_buffer.end());
  log("<- ", reply);
  return kRawOk;
}

void TccTfrm::set_baud_rate(int rate) {
  ComPort1.close();
  wait_ms(5);
  if (rate == 4800 || rate == 9600 || rate == 19200 || rate == 38400) ComPort1.set_baud_rate(rate);
  wait_ms(5);
  ComPort1.open();
}

std::string TccTfrm::decode_date_code(std::uint16_t code) {
  const unsigned day = code & 0x1F;
  const unsigned month = (code >> 5) & 0x0F;
  const unsigned year_offset = (code >> 9) & 0x1F;

  Bytes reply;
  std::string base_text;
  if (cctalk_transaction(device_address, Bytes{0xAA}, reply, 5) == kTransactionOk) {
    base_text = bytes_to_text(reply_data(reply));
  }
  const long base_year = parse_decimal_number(base_text);
  return std::to_string(base_year + static_cast<long>(year_offset)) + "/" + std::to_string(month) +
         "/" + std::to_string(day);
}

}  // namespace qv82
