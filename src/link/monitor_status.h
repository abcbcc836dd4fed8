#pragma once

#include <cstdint>
#include <string>

namespace qv82 {

// The monitor's status digit for an accepted record; '6' also stands for no
// answer at all.
inline constexpr char kStatusAccepted = '0';
inline constexpr char kStatusNoAnswer = '6';

// The text shown for a monitor status ("FLASH erase error!"); empty for '0'.
std::string monitor_status_text(std::uint8_t status);

}  // namespace qv82
