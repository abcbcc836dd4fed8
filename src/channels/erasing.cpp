#include "channels/erasing.h"

#include <stdexcept>

#include "device/coin_selector.h"
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

void Erasing::CheckBox17Click(bool checked) {
  all_channels = checked;
  channels.fill(checked);
}

void Erasing::CheckBox38Click(bool checked) {
  all_statistics = checked;
  statistics.fill(checked);
}

bool Erasing::Button1Click() {
  stored = false;
  if (ui_.question(language_text(msg::kEraseSelection), Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  for (int n = 1; n <= kChannelCount; ++n) {
    if (!channels[n - 1]) continue;
    // The buffer holds the erased record even when the write below fails.
    page_.status_high_bits[n - 1] |= kChannelWrittenBit;
    page_.channel_buffer[n - 1] = erased_channel_record();
    const int result = selector_.write_channel(n);
    if (result == kMemoryFailed) ui_.error(language_text(msg::kErrorEraseChannels));
    if (result != kMemoryOk) return false;
  }
  for (int i = 1; i <= kErasableCounters; ++i) {
    if (!statistics[i - 1]) continue;
    const int result = erase_statistic_counter(selector_, i);
    if (result == kMemoryFailed) ui_.error(language_text(msg::kErrorEraseStatisticPrefix));
    if (result != kMemoryOk) return false;
  }
  stored = selector_.commit_and_reset();
  if (stored) {
    ui_.information(language_text(msg::kOperationFinished));
  } else {
    ui_.error(language_text(msg::kErrorWriteToNvMemory));
  }
  return true;
}

}  // namespace qv82
