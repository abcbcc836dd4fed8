#include "sim/boot_monitor.h"

#include <algorithm>

#include "files/srecord.h"

namespace qv82::sim {

namespace {

constexpr std::uint8_t kIdentify = 0x56;  // "V"
constexpr std::uint8_t kRecordMark = 0x55;
constexpr std::size_t kIdLength = 9;

}  // namespace

void BootMonitor::start() {
  state_ = State::kIdle;
  accepted_ = 0;
  revision_.reset();
}

void BootMonitor::fail_record(int record, char status, int times) {
  fail_record_ = record;
  fail_status_ = status;
  fail_times_ = times;
}

BootMonitor::Result BootMonitor::feed(std::uint8_t byte) {
  Result result;
  switch (state_) {
    case State::kIdle:
      if (byte == kIdentify) {
        std::string padded = id_;
        padded.resize(kIdLength, ' ');
        result.reply = Bytes(padded.begin(), padded.end());
      } else if (byte == kRecordMark) {
        state_ = State::kType;
      }
      return result;
    case State::kType:
      type_ = static_cast<char>(byte);
      state_ = State::kCount;
      return result;
    case State::kCount:
      body_.assign(1, byte);
      remaining_ = byte;
      state_ = remaining_ == 0 ? State::kIdle : State::kBody;
      if (remaining_ != 0) return result;
      break;
    case State::kBody:
      body_.push_back(byte);
      if (--remaining_ != 0) return result;
      state_ = State::kIdle;
      break;
  }

  char status = check_record(type_, body_);
  if (status == '0' && fail_times_ > 0 && fail_record_ == accepted_) {
    status = fail_status_;
    --fail_times_;
  }
  result.header = type_ == '0';
  result.reply = Bytes{static_cast<std::uint8_t>(status)};
  if (status != '0') return result;

  ++accepted_;
  const std::size_t address_bytes = srecord_address_bytes(type_);
  const std::size_t data_start = 1 + address_bytes;
  const std::size_t data_end = body_.size() - 1;  // before the checksum
  if (type_ == '0') {
    const std::size_t text_start = data_start + kIdLength;
    revision_ = text_start < data_end
                    ? std::string(body_.begin() + text_start, body_.begin() + data_end)
                    : std::string();
  } else if (type_ == '1' || type_ == '2' || type_ == '3') {
    std::uint32_t address = 0;
    for (std::size_t i = 1; i < data_start; ++i) address = (address << 8) | body_[i];
    for (std::size_t i = data_start; i < data_end; ++i) flash_[address++] = body_[i];
  } else if (type_ == '7' || type_ == '8' || type_ == '9') {
    result.finished = true;
  }
  return result;
}

char BootMonitor::check_record(char type, const Bytes& body) {
  const std::size_t address_bytes = srecord_address_bytes(type);
  if (address_bytes == 0) return '5';  // S4 is reserved
  // count + address + checksum at least
  if (body.size() < 2 + address_bytes) return '3';
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < body.size(); ++i) sum += body[i];
  if (static_cast<std::uint8_t>(~sum) != body.back()) return '3';
  if (type == '0') {
    const std::size_t id_start = 1 + address_bytes;
    if (body.size() - 1 < id_start + kIdLength) return '1';
    std::string padded = id_;
    padded.resize(kIdLength, ' ');
    if (!std::equal(padded.begin(), padded.end(), body.begin() + id_start)) return '1';
  }
  return '0';
}

}  // namespace qv82::sim
