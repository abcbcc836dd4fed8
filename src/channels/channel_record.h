#pragma once

#include <array>
#include <cstdint>

#include "device/device_state.h"
#include "link/bytes.h"

namespace qv82 {

// A coin channel is one 32-byte record in device memory; channel n (1 ... 16) lives at
// kChannelBaseAddress + kChannelRecordSize * (n - 1) (device/device_state.h: kChannelCount,
// kChannelRecordSize, kChannelBaseAddress, channel_address).
inline constexpr int kChannelParameterCount = 13;

// Bits 4-7 of the status byte written by coin programming.
inline constexpr std::uint8_t kCoinProgrammingStatusBase = 0x70;

// What the channel view controls show. Selections are item indexes, -1 for "nothing selected".
struct ChannelView {
  std::array<int, kChannelParameterCount> parameters{};  // "1." ... "13."
  std::array<int, kChannelParameterCount> tolerances{};  // the fields under the parameters
  bool cctalk = false;     // "ccTalk": reporting on (status bit 3 clear)
  bool selective = false;  // "Sel.": selective inhibit (status bit 2)
  bool fake = false;       // "Fake": fake coin (status bit 1)
  bool enabled = false;    // "En.": channel enabled (status bit 0 clear)
  int direction = -1;      // "Dir." item 0 ... 8
  int cvf = -1;            // "CVF" item 0 ... 15
  int mint = -1;           // "Mint" item 0 ... 3
  int country = -1;        // "CC" item 0 ... 181
  int value = 0;           // "Val." 0 ... 65535

  bool operator==(const ChannelView&) const = default;
};

struct DecodedChannel {
  ChannelView view;
  // Bits 4-7 of the status byte (bits 0-3 clear). The device's meaning of them is its own;
  // the channels page keeps them so that a record taken back is unchanged.
  std::uint8_t status_high_bits = 0;
};

// The erased record: 32 bytes 0xFF.
Bytes erased_channel_record();

// Record to view. Throws ConversionError when the record is not 32 bytes long (a damaged file).
DecodedChannel StrToChannel(const Bytes& record);

// View to record. status_base supplies bits 4-7 of the status byte: the channel's remembered
// status_high_bits on the channels page, kCoinProgrammingStatusBase on the coin programming screen.
// Every number keeps only the bits its byte can hold.
Bytes ChannelToStr(const ChannelView& view, std::uint8_t status_base);

}  // namespace qv82
