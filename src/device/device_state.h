#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "link/bytes.h"
#include "link/memory_map.h"

namespace qv82 {

// unlock_flags bits.
inline constexpr std::uint8_t kFactoryUnlocked = 0x01;
inline constexpr std::uint8_t kPinUnlocked = 0x02;

// What the bottom panel of the main window shows about the identified
// device.
struct DeviceInfo {
  std::string product_code;
  std::string serial_number;
  std::string build_code;
  std::string software_revision;
  std::string production_date;
  std::string modification_date;
};

// Caption and value of the six fields, in panel order ("Product code:" ...).
std::vector<std::pair<std::string, std::string>> device_info_lines(const DeviceInfo& info);

// What the application knows about the coin selector beside its address
// (which the transaction holder keeps).
struct DeviceState {
  // Factory read, factory write, PIN read, PIN write. A set bit opens that
  // area at that level without the level's password.
  std::array<std::uint8_t, 4> access_masks{};
  std::uint8_t unlock_flags = 0;
  std::array<std::uint8_t, 6> factory_key{};
  std::array<std::uint8_t, 4> pin_key{};
  // Set only while the terminal unlocks for its FF 07 command.
  bool pin_check_bypass = false;
  std::array<Bytes, kChannelCount> channel_buffer = empty_channels();
  // While false, identify_device fails without a word (the quiet first try
  // of a search).
  bool messages_enabled = true;
  DeviceInfo info;
  // The firmware download's copy of the device address.
  std::uint8_t download_address = 2;

  std::uint8_t factory_read_mask() const { return access_masks[0]; }
  std::uint8_t factory_write_mask() const { return access_masks[1]; }
  std::uint8_t pin_read_mask() const { return access_masks[2]; }
  std::uint8_t pin_write_mask() const { return access_masks[3]; }

  // Sixteen records of 32 bytes FF: what an empty channel reads as.
  static std::array<Bytes, kChannelCount> empty_channels();
};

}  // namespace qv82
