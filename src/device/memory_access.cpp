#include <stdexcept>

#include "device/coin_selector.h"

namespace qv82 {

namespace {

constexpr std::uint8_t kVendor = 0xFF;
constexpr std::uint8_t kReadMemory = 0x02;
constexpr std::uint8_t kWriteMemory = 0x03;
constexpr std::size_t kChannelReplySize = 5 + kChannelRecordSize;

Bytes memory_request(std::uint8_t command, std::uint16_t address) {
  return {kVendor, command, static_cast<std::uint8_t>(address >> 8),
          static_cast<std::uint8_t>(address & 0xFF)};
}

void check_channel(int channel) {
  if (channel < 1 || channel > kChannelCount) {
    throw std::out_of_range("channel " + std::to_string(channel) + " outside 1..16");
  }
}

}  // namespace

int CoinSelector::read_memory(std::uint16_t address, std::uint8_t length, std::uint8_t area,
                              Bytes& data) {
  if (!check_access(AccessKind::Read, area)) return kMemoryDenied;
  Bytes request = memory_request(kReadMemory, address);
  request.push_back(length);
  Bytes reply;
  if (link.cctalk_transaction(link.device_address, request, reply, 50) != kTransactionOk ||
      !reply_is_ack(reply)) {
    return kMemoryFailed;
  }
  const Bytes answer = reply_data(reply);
  // Fewer bytes than asked for would hand the caller bytes never read.
  if (answer.size() < length) return kMemoryFailed;
  data.assign(answer.begin(), answer.begin() + length);
  return kMemoryOk;
}

int CoinSelector::write_memory(std::uint16_t address, const Bytes& data, std::uint8_t area) {
  drop_writes_lost_with_port();
  if (!check_access(AccessKind::Write, area)) return kMemoryDenied;
  Bytes request = memory_request(kWriteMemory, address);
  request.insert(request.end(), data.begin(), data.end());
  Bytes reply;
  if (link.cctalk_transaction(link.device_address, request, reply, 10) != kTransactionOk ||
      !reply_is_ack(reply)) {
    return kMemoryFailed;
  }
  note_written(address, data, area);
  return kMemoryOk;
}

int CoinSelector::read_channel(int channel) {
  check_channel(channel);
  if (!check_access(AccessKind::Read, kAreaChannels)) return kMemoryDenied;
  Bytes request = memory_request(kReadMemory, channel_address(channel));
  request.push_back(static_cast<std::uint8_t>(kChannelRecordSize));
  Bytes reply;
  if (link.cctalk_transaction(link.device_address, request, reply, 10) != kTransactionOk ||
      reply.size() != kChannelReplySize) {
    return kMemoryFailed;
  }
  state.channel_buffer[channel - 1] = reply_data(reply);
  return kMemoryOk;
}

int CoinSelector::write_channel(int channel) {
  check_channel(channel);
  const Bytes& record = state.channel_buffer[channel - 1];
  if (record.size() != kChannelRecordSize) {
    throw std::logic_error("channel record " + std::to_string(channel) + " is not 32 bytes");
  }
  drop_writes_lost_with_port();
  if (!check_access(AccessKind::Write, kAreaChannels)) return kMemoryDenied;
  Bytes request = memory_request(kWriteMemory, channel_address(channel));
  request.insert(request.end(), record.begin(), record.end());
  Bytes reply;
  if (link.cctalk_transaction(link.device_address, request, reply, 10) != kTransactionOk ||
      !reply_is_ack(reply)) {
    return kMemoryFailed;
  }
  note_written(channel_address(channel), record, kAreaChannels);
  return kMemoryOk;
}

bool CoinSelector::commit_and_reset() {
  verify_failed_ = false;
  commit_stage_ = CommitStage::kReadingBack;
  if (drop_writes_lost_with_port()) {
    verify_failed_ = true;
    commit_stage_ = CommitStage::kDone;
    return false;
  }
  Bytes reply;
  if (verify_writes) {
    if (const auto mismatch = read_back_unstored()) {
      verify_failed_ = true;
      verify_message_ = *mismatch;
      unstored_.clear();
      // No store: the restart brings back what the device held before.
      link.cctalk_transaction(link.device_address, Bytes{0x01}, reply, 20);
      commit_stage_ = CommitStage::kDone;
      ui.error(*mismatch);
      return false;
    }
  }
  unstored_.clear();
  commit_stage_ = CommitStage::kStoring;
  const bool stored = link.cctalk_transaction(link.device_address, Bytes{kVendor, kWriteMemory},
                                              reply, 8) == kTransactionOk &&
                      reply_is_ack(reply);
  // The reset goes out in any case: the device restarts either way and the
  // caller learns from the result whether the data were kept.
  commit_stage_ = stored ? CommitStage::kRestarting : CommitStage::kStoring;
  const bool restarted =
      link.cctalk_transaction(link.device_address, Bytes{0x01}, reply, 20) == kTransactionOk &&
      reply_is_ack(reply);
  commit_stage_ = CommitStage::kDone;
  return stored && restarted;
}

}  // namespace qv82
