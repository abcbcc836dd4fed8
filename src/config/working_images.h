#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "device/device_state.h"

namespace qv82 {

// Section bits of loaded_sections: a set bit means that section was read
// from the device or a file, or edited, and takes part in saves and
// downloads from then on.
inline constexpr std::uint8_t kSectionChannels = 0x01;
inline constexpr std::uint8_t kSectionConfiguration = 0x02;  // I/O and common parameters
inline constexpr std::uint8_t kSectionModes = 0x04;
inline constexpr std::uint8_t kSectionStatistics = 0x08;

// Access area codes given to the access check (device/device_state.h holds the others).
inline constexpr std::uint8_t kAreaFirmware = 0x40;

inline constexpr std::uint16_t kChannelsAddress = 0x0570;
inline constexpr std::uint16_t kIoAddress = 0x0770;
inline constexpr std::uint16_t kModesByteAddress = 0x07B3;
inline constexpr std::uint16_t kStatOptionsAddress = 0x081A;
inline constexpr std::uint16_t kStatCountersAddress = 0x0830;
inline constexpr std::uint16_t kAccessMasksAddress = 0x07EB;

inline constexpr std::size_t kIoRecordCount = 8;
inline constexpr std::size_t kCommonParameterCount = 18;
inline constexpr std::size_t kStatisticCount = 20;

// Section bit of loaded_sections for a device address; 0 outside.
std::uint8_t section_bit_for_address(unsigned address);

// Device address of common parameter k (1..18), in param_image order.
unsigned common_parameter_address(std::size_t k);
// The settings key of common parameter k (1..18): "Credit", "Bonus1lev", ...
const char* common_parameter_key(std::size_t k);

// The main window's copies of the configuration between the screens and
// the parameter tree (channel records live in channel_buffer beside them).
struct WorkingImages {
  // Per I/O position: 16 hex digits (the 8-byte record) + 4 flag characters.
  std::array<std::string, kIoRecordCount> io_text;
  // 36 hex digits (18 common parameters in table order) + 18 flags, "Y" = shown.
  std::string param_image;
  // 40 hex digits: statistic options 1..20.
  std::string stat_options_image;
  // 120 hex digits: statistic counters 1..20, 3 bytes each, high byte first.
  std::string stat_counters_image;
  std::uint8_t loaded_sections = 0;

  // Which items of the loaded sections a save or download takes: those the
  // last file or upload gave, and those whose page value differs from what
  // that load (or start-up) left, i.e. the user's edits. An item without a
  // recorded value counts as the user's (a standard configuration chosen).
  std::set<unsigned> given_items;
  std::map<unsigned, std::string> item_baseline;
  // Sections a file or an upload has filled.
  std::uint8_t sourced_sections = 0;
  // Every item of the sections counts as the user's from now on.
  void take_whole_sections(std::uint8_t sections);
  // The user edited the section on the page. A section no file or upload
  // has filled is the page as shown, whole: what the user sees goes out.
  void mark_edited(std::uint8_t section);
};

}  // namespace qv82
