#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "channels/channel_record.h"
#include "link/bytes.h"

namespace qv82 {

// The main form's working copy of the 16 channel records; index n - 1 holds channel n.
using ChannelBuffer = std::array<Bytes, kChannelCount>;

// Bit of loaded_sections that makes the channels part of the next file save and download.
inline constexpr std::uint8_t kChannelsSectionBit = 0x01;

// Model of the "Channels" page: a view on one channel of the main form's channel_buffer at a
// time. The page never talks to the device. Channel numbers are 1 ... 16; a number outside that
// range is a programming error (std::out_of_range).
class ChannelsPage {
 public:
  // Start-up state: every record erased, channel 1 shown and unmodified.
  explicit ChannelsPage(ChannelBuffer& buffer);

  ChannelsPage(const ChannelsPage&) = delete;
  ChannelsPage& operator=(const ChannelsPage&) = delete;

  // channel_buffer n into the view; status_high_bits n := bits 4-7 of its status byte.
  // Throws ConversionError (and changes nothing) when the record is not 32 bytes long.
  void show_channel(int n);

  // The view into channel_buffer n, with status_high_bits n as bits 4-7 of the status byte.
  void take_channel(int n);

  // The channel number box changed to m: the shown channel is taken first if the page was
  // ever edited, then m is shown. Returns the loaded_sections bits the caller must set.
  std::uint8_t change_channel(int m);

  // Any click on a control of the channel view.
  void mark_modified() { channel_modified = true; }

  ChannelBuffer& channel_buffer;
  // Bits 4-7 of each channel's status byte (index n - 1); coin programming and erasing set
  // bit 7 for each channel they write.
  std::array<std::uint8_t, kChannelCount> status_high_bits{};
  int shown_channel = 1;
  // Set by the first edit and never cleared: every later change of channel copies the page
  // into the channel being left.
  bool channel_modified = false;
  ChannelView view;
  int channel_number = 1;  // the channel number box
};

// The channel as the page shows it, as fixed-pitch text for the command line.
std::string channel_text(const ChannelView& view, int channel);

}  // namespace qv82
