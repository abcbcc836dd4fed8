#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "channels/channel_record.h"
#include "channels/channels_page.h"
#include "channels/coin_programming_calc.h"
#include "device/ui.h"

namespace qv82 {

class CoinSelector;
class IniFile;
class CcTalkLink;

inline constexpr unsigned kCoinProgrammingTickMs = 150;

// The "Coins programming" window without its widgets: teaching the device a coin from sample
// insertions. The window (or the command line) renders the public state, forwards each user
// action to the operation of the same name, and runs on_sample_tick every 150 ms while
// tick_running() is true; the model stops the tick around everything that talks to the device.
class CoinProgramming {
 public:
  // page is the main window's channels page; its channel_buffer must be the one the selector
  // reads and writes (checked, std::logic_error otherwise).
  CoinProgramming(CcTalkLink& link, CoinSelector& selector, ChannelsPage& page, IniFile& settings,
                  Ui& ui);
  CoinProgramming(const CoinProgramming&) = delete;
  CoinProgramming& operator=(const CoinProgramming&) = delete;

  // Tool bar "Coins prog.": identifies the device, reads the 16 channels and shows the main
  // page's channel. True when the window may open.
  bool prepare();

  // The window opens: master inhibit, insertion counter, sampling on channel 1.
  void on_open();
  // The sampling tick: fetches the measurements of a new insertion, if any.
  void on_sample_tick();
  // Parameters and tolerances from the samples into the view. False when a margin setting is
  // not a number: the error was shown and the view keeps what it showed.
  bool calculate();
  // The view holds the channel computed from the samples taken since the channel was chosen.
  bool computed() const { return computed_; }
  // Switches the view to the channel in channel_number and starts sampling afresh.
  void channelChange();
  // Writes the view to the device as prog_channel. True on success.
  bool channelsave();

  void delete_samples();  // "Delete item": the selected lines
  void clear_samples();   // "Clear list"
  void save_channel();    // "Save channel"
  // The channel number box changed to m (1 ... 16).
  void choose_channel(int m);
  // "Tollerance:" changed.
  void set_tolerance(ToleranceLevel level);
  // "Close", Escape or the title bar: asks what Close asks; true when the window closes
  // (on_close has run then).
  bool request_close();
  // The window closes, however: inhibit lifted, device reset. Channels saved but not stored
  // are back as the device runs them after the reset, on the channels page too.
  void on_close();
  // "Save data to NV memory?" answered Yes: inhibit lifted, the device stores and restarts.
  bool save_to_nv();

  bool tick_running() const { return tick_running_; }
  // Lines of the sample list, one per sample.
  std::vector<std::string> lines() const;
  // Text colour of the list: green once min_insertions samples were taken, red before.
  bool enough_samples() const { return enough_samples_; }

  // Called whenever the tick starts or stops.
  std::function<void(bool running)> tick_changed;
  // Called after the main window's channels page was redrawn from the buffer.
  std::function<void()> channels_page_changed;
  // Called after a sample line was added.
  std::function<void(const std::string& line)> sample_added;

  int prog_channel = 1;
  int channel_number = 1;  // the "Channel" box
  std::vector<CoinSample> samples;
  std::set<std::size_t> selected_lines;  // 0-based
  bool samples_unsaved = false;
  std::uint32_t last_insertion_count = 0;
  unsigned min_insertions = 0;
  std::uint16_t saved_channels = 0;
  ChannelView view;
  ToleranceLevel tolerance = ToleranceLevel::kMiddle;

 private:
  void start_tick();
  void stop_tick();
  // The main window's channels page drawn again from the buffer.
  void refresh_channels_page();
  bool send(const Bytes& command, int polls, Bytes* data = nullptr);
  void set_inhibit(bool inhibit);
  bool read_insertion_counter(std::uint32_t& counter);
  bool read_min_insertions();
  bool read_margins(ToleranceMargins& margins);
  // The 16 channels backed up once, before the session's first write. False, the reason shown,
  // when the backup failed: nothing may be written then.
  bool back_up_session();
  // The channels whose write failed get the record they held before once more, so that the
  // read-back before the store covers what the failed write left. False when one failed.
  bool rewrite_unsure_channels();
  // Restarts the device and reads the 16 channels it runs now into the buffer. False when it
  // did not answer.
  bool read_stored_channels();
  // Yes/No/Cancel "Data not saved! ..." question; the answer.
  Answer ask_save_unsaved();

  CcTalkLink& link_;
  CoinSelector& selector_;
  ChannelsPage& page_;
  IniFile& settings_;
  Ui& ui_;
  bool tick_running_ = false;
  // The buffer holds what the device stores (the saves went to non-volatile memory, or the
  // channels were read back after a store that was not answered): Close keeps it.
  bool stored_ = false;
  // Channels whose write failed: the device's working memory may hold part of the new record.
  std::uint16_t unsure_channels_ = 0;
  bool backed_up_ = false;  // the session's backup was written
  // The channels as the window opened on them: what a reset without storing brings back.
  ChannelBuffer records_before_{};
  std::array<std::uint8_t, kChannelCount> high_bits_before_{};
  bool enough_samples_ = false;
  bool computed_ = false;
};

}  // namespace qv82
