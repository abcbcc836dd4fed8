#pragma once

#include <cstddef>
#include <cstdint>

namespace qv82 {

// The coin selector's configuration memory as the protocol addresses it.

// Area bits: one per memory area, handed to check_access.
inline constexpr std::uint8_t kAreaNone = 0x00;
inline constexpr std::uint8_t kAreaChannels = 0x01;
inline constexpr std::uint8_t kAreaIoConfiguration = 0x02;
inline constexpr std::uint8_t kAreaModes = 0x04;
inline constexpr std::uint8_t kAreaCommonParameters = 0x08;
inline constexpr std::uint8_t kAreaStatisticOptions = 0x10;
inline constexpr std::uint8_t kAreaStatisticCounters = 0x20;
inline constexpr std::uint8_t kAreaFirmwareUpgrade = 0x40;

inline constexpr int kChannelCount = 16;
inline constexpr std::size_t kChannelRecordSize = 32;
inline constexpr std::uint16_t kChannelBaseAddress = 0x0570;
inline constexpr std::uint16_t kAccessMaskAddress = 0x07EB;

// The area a memory address belongs to (0 outside the configuration).
std::uint8_t area_of_address(std::uint16_t address);

// Device address of channel n (1..16).
constexpr std::uint16_t channel_address(int channel) {
  return static_cast<std::uint16_t>(kChannelBaseAddress + kChannelRecordSize * (channel - 1));
}

}  // namespace qv82
