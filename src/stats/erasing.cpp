#include "stats/erasing.h"

#include <stdexcept>

#include "device/coin_selector.h"
#include "device/unstored_writes.h"
#include "lang/language.h"
#include "stats/statistics.h"

namespace qv82 {

namespace {

constexpr std::uint8_t kChannelWrittenBit = 0x80;

}  // namespace

Erasing::Erasing(CoinSelector& selector, ChannelsPage& page, Ui& ui)
    : selector_(selector), page_(page), ui_(ui) {
  if (static_cast<const void*>(&page_.channel_buffer) !=
      static_cast<const void*>(&selector_.state.channel_buffer)) {
    throw std::logic_error("erasing: the page and the device use different buffers");
  }
}

void Erasing::tick_all_channels(bool checked) {
  all_channels = checked;
  channels.fill(checked);
}

void Erasing::tick_all_statistics(bool checked) {
  all_statistics = checked;
  statistics.fill(checked);
}

void Erasing::progress() {
  if (progress_changed) progress_changed();
}

bool Erasing::erase_selected() {
  if (running) return false;
  stored = false;
  if (ui_.question(language_text(msg::kEraseSelection), Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  // Cleared however the run ends, so a port error leaves a usable dialog.
  struct Ended {
    Erasing& erasing;
    ~Ended() {
      erasing.running = false;
      erasing.progress();
    }
  } const ended{*this};
  running = true;
  items_done = 0;
  items_chosen = 0;
  for (bool ticked : channels) items_chosen += ticked ? 1 : 0;
  for (bool ticked : statistics) items_chosen += ticked ? 1 : 0;
  progress();
  return erase_items();
}

bool Erasing::stop(int result, int message) {
  // A write that failed may have reached the device all the same; after a
  // refused one only the earlier writes did.
  if (result == kMemoryFailed || items_done > 0) {
    const std::string unstored = abandon_unstored_writes(selector_, items_done, items_chosen);
    ui_.error(result == kMemoryFailed ? language_text(message) + "\n" + unstored : unstored);
  }
  return false;
}

bool Erasing::erase_items() {
  std::vector<MemoryBlock> blocks;
  for (int n = 1; n <= kChannelCount; ++n) {
    if (channels[n - 1]) blocks.push_back({channel_address(n), kChannelRecordSize, kAreaChannels});
  }
  for (int i = 1; i <= kErasableCounters; ++i) {
    if (statistics[i - 1]) blocks.push_back(counter_block(i));
  }
  if (!selector_.prepare_writes(blocks)) return false;
  for (int n = 1; n <= kChannelCount; ++n) {
    if (!channels[n - 1]) continue;
    // The buffer holds the erased record even when the write below fails.
    page_.status_high_bits[n - 1] |= kChannelWrittenBit;
    page_.channel_buffer[n - 1] = erased_channel_record();
    const int result = selector_.write_channel(n);
    if (result != kMemoryOk) return stop(result, msg::kErrorEraseChannels);
    ++items_done;
    progress();
  }
  for (int i = 1; i <= kErasableCounters; ++i) {
    if (!statistics[i - 1]) continue;
    const int result = erase_statistic_counter(selector_, i);
    if (result != kMemoryOk) return stop(result, msg::kErrorEraseStatisticPrefix);
    ++items_done;
    progress();
  }
  stored = selector_.commit_and_reset();
  if (stored) {
    ui_.information(language_text(msg::kOperationFinished));
  } else if (!selector_.verify_failed()) {
    ui_.error(language_text(msg::kErrorWriteToNvMemory));
  }
  return true;
}

}  // namespace qv82
