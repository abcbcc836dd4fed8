#include "link/cctalk_link.h"

#include <algorithm>

#include "link/errors.h"

namespace qv82 {

namespace {

// The poll counter is one byte wide: budgets outside 1..255 make no sense.
int clamp_polls(int max_polls) { return std::clamp(max_polls, 1, 255); }

std::uint64_t budget_us(int polls) {
  return static_cast<std::uint64_t>(polls) * kPollPeriodMs * 1000;
}

// A whole reply is taken once the line has stayed quiet for two byte times:
// long enough for a byte sent straight after it to show.
constexpr std::uint64_t kSettleBits = 20;

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

std::size_t expected_reply_size(const Bytes& buffer, std::uint8_t destination,
                                std::size_t data_count) {
  const std::size_t n = data_count;
  if (!buffer.empty() && buffer[0] != destination) return kNeverComplete;
  if (buffer.size() <= n + 6) return n + 7;
  return n + 10 + buffer[n + 6];
}

bool reply_complete(const Bytes& buffer, std::uint8_t destination, std::size_t data_count) {
  return buffer.size() == expected_reply_size(buffer, destination, data_count);
}

Bytes reply_data(const Bytes& frame) {
  if (frame.size() < 5) return {};
  return Bytes(frame.begin() + 4, frame.end() - 1);
}

bool reply_is_ack(const Bytes& frame) { return frame.size() >= 5 && frame[3] == 0; }

BusyScope::BusyScope(CcTalkLink& holder) : holder_(holder) {
  ++holder_.in_use_;
  if (holder_.busy_start) holder_.busy_start();
}

BusyScope::~BusyScope() {
  --holder_.in_use_;
  if (holder_.busy_end) holder_.busy_end();
}

CcTalkLink::CcTalkLink(SerialPort& port, EventPump& event_pump) : port(port), pump(event_pump) {
  port.set_receive_handler([this](std::size_t count) { on_bytes_received(count); });
  port.set_failure_handler([this] { on_port_failure(); });
}

void CcTalkLink::on_port_failure() {
  ++port_failures_;
  rx_buffer.clear();
  // A transfer waiting for its reply hears of the failure at once.
  pump.wake();
  if (in_use_ == 0 && port_failed) port_failed();
}

void CcTalkLink::check_port() {
  if (auto failure = port.take_failure()) throw PortError(*failure);
}

void CcTalkLink::wait_ms(unsigned ms) {
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

void CcTalkLink::on_bytes_received(std::size_t count) {
  const Bytes chunk = port.read(count);
  if (chunk.empty()) return;
  rx_buffer.insert(rx_buffer.end(), chunk.begin(), chunk.end());
  last_rx_us_ = pump.now_us();
  if (rx_buffer.size() >= wake_size_) pump.wake();
}

void CcTalkLink::clear_rx_buffer() {
  rx_buffer.clear();
  last_rx_us_ = pump.now_us();
}

void CcTalkLink::log(std::string_view prefix, const Bytes& bytes) {
  if (log_enabled && add_log_line) add_log_line(std::string(prefix) + bytes_to_hex(bytes));
}

namespace {

// The shortest time one byte can take on the wire: 10 bits, rounded down.
std::uint64_t byte_time_us(int baud) {
  if (baud <= 0) baud = 9600;
  return 10'000'000ULL / static_cast<unsigned>(baud);
}

}  // namespace

std::uint64_t settle_time_us(int baud) {
  if (baud <= 0) baud = 9600;
  return (kSettleBits * 1'000'000ULL + static_cast<unsigned>(baud) - 1) /
         static_cast<unsigned>(baud);
}

bool CcTalkLink::await_reply(const ExpectedSize& expected_size, bool can_accept,
                             std::uint64_t accept_by_us, std::uint64_t give_up_us) {
  const std::uint64_t settle = settle_time_us(port.baud_rate());
  const std::uint64_t byte_us = byte_time_us(port.baud_rate());
  // A transfer inside this one's wait (a window timer) sets its own
  // threshold; this one's is put back when that returns.
  const std::size_t outer_wake_size = wake_size_;
  bool may_rest = true;
  for (;;) {
    // A port that failed while the request was written (the failure came
    // before the wait that would have reported it) ends the transfer now.
    check_port();
    const std::uint64_t now = pump.now_us();
    const std::size_t expected = expected_size(rx_buffer);
    const bool whole = can_accept && rx_buffer.size() == expected && last_rx_us_ <= accept_by_us;
    // The settling time never reaches past the last moment a reply counts.
    const std::uint64_t settled_at = std::min(last_rx_us_ + settle, accept_by_us);
    if (whole && now >= settled_at) {
      wake_size_ = outer_wake_size;
      return true;
    }
    if (now >= give_up_us) {
      wake_size_ = outer_wake_size;
      return false;
    }
    // Bytes still missing cannot all arrive sooner than the wire carries
    // them: rest until then instead of waking for each byte. The last byte
    // is awaited with a wake, so the time a reply became whole is known to
    // the byte; a rest ends early too when the reply came faster than the
    // wire. After a rest that brought nothing the reply has stalled: the
    // next byte is awaited before resting again.
    if (may_rest && !whole && rx_buffer.size() + 1 < expected && expected != kNeverComplete) {
      const std::uint64_t earliest = now + (expected - rx_buffer.size() - 1) * byte_us;
      const std::uint64_t rest_end = std::min(earliest, accept_by_us);
      if (rest_end > now + byte_us) {
        const std::size_t before = rx_buffer.size();
        wake_size_ = expected;
        pump.rest_until_us(rest_end);
        wake_size_ = kNoWake;
        may_rest = rx_buffer.size() != before;
        continue;
      }
    }
    // Woken only when the reply may have become whole (or, stalled, at its
    // next byte); a byte arriving in the settling time is seen when it
    // ends, and spoils the reply then.
    if (whole || rx_buffer.size() >= expected) {
      wake_size_ = kNoWake;
    } else {
      wake_size_ = may_rest ? expected : rx_buffer.size() + 1;
    }
    may_rest = true;
    pump.wait_until_us(whole ? settled_at : give_up_us);
    wake_size_ = kNoWake;
  }
}

std::uint8_t CcTalkLink::exchange(std::uint8_t destination, const Bytes& command, Bytes& reply,
                                  int max_polls) {
  wait_ms(kPollPeriodMs);
  if (command.empty() || command.size() > kMaxCommandBytes) return kTransactionTimeout;

  const Bytes frame = build_frame(destination, command);
  const std::size_t n = command.size() - 1;
  log("-> ", frame);

  clear_rx_buffer();
  if (port.connected()) port.write(frame);

  // The reply counts up to the end of the last poll period, as if tested
  // after each one.
  const std::uint64_t deadline = pump.now_us() + budget_us(clamp_polls(max_polls));
  const auto expected = [&](const Bytes& buffer) {
    return expected_reply_size(buffer, destination, n);
  };
  if (!await_reply(expected, true, deadline, deadline)) return kTransactionTimeout;

  Bytes answer(rx_buffer.begin() + static_cast<std::ptrdiff_t>(n + 5), rx_buffer.end());
  if (cctalk_checksum(answer.data(), answer.size() - 1) != answer.back()) {
    return kTransactionChecksumError;
  }
  log("<- ", answer);
  reply = std::move(answer);
  return kTransactionOk;
}

std::uint8_t CcTalkLink::cctalk_transaction(std::uint8_t destination, const Bytes& command,
                                            Bytes& reply, int max_polls) {
  BusyScope busy(*this);
  return exchange(destination, command, reply, max_polls);
}

std::uint8_t CcTalkLink::cctalk_transaction(std::uint8_t destination, std::string_view command,
                                            std::string& reply, int max_polls, bool raw_reply,
                                            bool raw_command) {
  BusyScope busy(*this);
  const Bytes bytes = raw_command ? text_to_bytes(command) : hex_to_bytes(command);
  Bytes answer;
  const std::uint8_t result = exchange(destination, bytes, answer, max_polls);
  if (result == kTransactionOk) reply = raw_reply ? bytes_to_text(answer) : bytes_to_hex(answer);
  return result;
}

std::uint8_t CcTalkLink::raw_transfer(const Bytes& data, std::uint8_t reply_length, int max_polls,
                                      Bytes& reply) {
  BusyScope busy(*this);
  reply.clear();
  clear_rx_buffer();
  log("-> ", data);
  port.write(data);

  // The monitor's answer must be whole before the budget's last poll
  // period; the host still waits the whole budget before giving up.
  const int polls = std::max(max_polls, 1);
  const std::uint64_t start = pump.now_us();
  const std::size_t expected = data.size() + reply_length;
  if (!await_reply([expected](const Bytes&) { return expected; }, polls > 1,
                   start + budget_us(polls - 1), start + budget_us(polls))) {
    reply = text_to_bytes("6");
    return kRawFailed;
  }
  reply.assign(rx_buffer.begin() + static_cast<std::ptrdiff_t>(data.size()), rx_buffer.end());
  log("<- ", reply);
  return kRawOk;
}

void CcTalkLink::set_baud_rate(int rate) {
  port.close();
  wait_ms(5);
  if (rate == 4800 || rate == 9600 || rate == 19200 || rate == 38400) port.set_baud_rate(rate);
  wait_ms(5);
  port.open();
}

std::string CcTalkLink::decode_date_code(std::uint16_t code) {
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
