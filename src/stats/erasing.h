#pragma once

#include <array>
#include <functional>

#include "channels/channels_page.h"
#include "device/ui.h"

namespace qv82 {

class CoinSelector;

inline constexpr int kErasableCounters = 20;

// The "Erasing" dialog without its widgets: tick channels and statistic counters, then erase
// them in the device in one run. The ticks stay as they are between openings.
class Erasing {
 public:
  // page supplies channel_buffer and status_high_bits; its buffer must be the selector's.
  Erasing(CoinSelector& selector, ChannelsPage& page, Ui& ui);
  Erasing(const Erasing&) = delete;
  Erasing& operator=(const Erasing&) = delete;

  // "All" of group "Select Channels " and of group "Select Statistic ".
  void tick_all_channels(bool checked);
  void tick_all_statistics(bool checked);

  // "Erase selected": true when the run completed and the dialog closes.
  bool erase_selected();
  // The last run ended with the device storing what was erased; a run the dialog closes after
  // may still have failed to store.
  bool stored = false;

  std::array<bool, kChannelCount> channels{};
  bool all_channels = false;
  std::array<bool, kErasableCounters> statistics{};
  bool all_statistics = false;

  // The run in progress: the ticks it took and how many are erased so far.
  bool running = false;
  int items_chosen = 0;
  int items_done = 0;
  // Called when a run starts, after each item, and when it ends.
  std::function<void()> progress_changed;

 private:
  bool erase_items();
  bool stop(int result, int message);
  void progress();

  CoinSelector& selector_;
  ChannelsPage& page_;
  Ui& ui_;
};

}  // namespace qv82
