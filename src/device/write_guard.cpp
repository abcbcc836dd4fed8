#include <cctype>

#include "device/coin_selector.h"
#include "files/text.h"
#include "lang/language.h"
#include "link/memory_labels.h"

namespace qv82 {

namespace {

constexpr std::uint16_t kCountersAddress = 0x0830;
constexpr int kCounterCount = 20;
constexpr std::size_t kCounterSize = 3;
constexpr std::uint8_t kCounterEraseByte = 0x01;

// The byte 01 at the start of a counter is the device's erase command: it
// leaves the counter's three bytes at 0, not the 01.
bool is_counter_erase(std::uint16_t address, const Bytes& data) {
  return data.size() == 1 && data[0] == kCounterEraseByte && address >= kCountersAddress &&
         address < kCountersAddress + kCounterSize * kCounterCount &&
         (address - kCountersAddress) % kCounterSize == 0;
}

}  // namespace

bool CoinSelector::prepare_writes(const std::vector<MemoryBlock>& blocks) {
  if (!back_up || blocks.empty()) return true;
  if (const auto problem = back_up(blocks)) {
    ui.error(*problem);
    return false;
  }
  return true;
}

void CoinSelector::note_written(std::uint16_t address, const Bytes& data, std::uint8_t area) {
  if (unstored_.empty()) unstored_port_failures_ = link.port_failures();
  Bytes expected = is_counter_erase(address, data) ? Bytes(kCounterSize, 0) : data;
  unstored_.push_back({address, area, std::move(expected)});
}

bool CoinSelector::drop_writes_lost_with_port() {
  if (unstored_.empty() || link.port_failures() == unstored_port_failures_) return false;
  const std::size_t lost = unstored_.size();
  unstored_.clear();
  Bytes reply;
  // No store: the restart puts the working memory back to what is stored.
  link.cctalk_transaction(link.device_address, Bytes{0x01}, reply, 20);
  ui.error(language_text(msg::kWritesLostWithPort, {std::to_string(lost)}));
  return true;
}

std::optional<std::string> CoinSelector::read_back_unstored() {
  const auto verify_failed = [this](std::uint16_t address, const std::string& wrote,
                                    const std::string& read) {
    std::string caption = caption_of ? caption_of(address) : memory_label(address);
    if (!caption.empty()) {
      caption[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(caption[0])));
    }
    return language_text(msg::kVerifyFailed) + caption + " (" + hex_address(address) +
           language_text(msg::kVerifyWrote) + wrote + language_text(msg::kVerifyRead) + read;
  };
  // Later writes of the same bytes win, so the blocks are checked in order
  // against what the device should hold now.
  for (std::size_t k = 0; k < unstored_.size(); ++k) {
    const WrittenBlock& block = unstored_[k];
    Bytes held;
    const int result = read_memory(block.address, static_cast<std::uint8_t>(block.expected.size()),
                                   block.area, held);
    for (std::size_t i = 0; i < block.expected.size(); ++i) {
      const auto address = static_cast<std::uint16_t>(block.address + i);
      bool overwritten = false;
      for (std::size_t later = k + 1; later < unstored_.size() && !overwritten; ++later) {
        const WrittenBlock& next = unstored_[later];
        overwritten = address >= next.address && address < next.address + next.expected.size();
      }
      if (overwritten) continue;
      if (result != kMemoryOk) {
        return verify_failed(address, hex_byte(block.expected[i]),
                             language_text(msg::kVerifyNothing));
      }
      if (held[i] != block.expected[i]) {
        return verify_failed(address, hex_byte(block.expected[i]), hex_byte(held[i]));
      }
    }
  }
  return std::nullopt;
}

}  // namespace qv82
