#pragma once

#include <cstdint>

#include "sim/memory.h"

namespace qv82::sim {

// What the device counts, by the code of a statistic option (the byte at
// 0x081A + i). The utility names the codes in [Statistic options] of its
// settings file.
namespace statistic_code {
inline constexpr std::uint8_t kCoinsAccepted = 0x01;
inline constexpr std::uint8_t kCoinsRejected = 0x02;
inline constexpr std::uint8_t kCoinsInhibited = 0x03;
inline constexpr std::uint8_t kCreditsPaid = 0x04;  // the accepted coins' values
// 0x11 .. 0x20: coins accepted by channel 1 .. 16.
inline constexpr std::uint8_t kFirstChannel = 0x11;
}  // namespace statistic_code

inline constexpr std::uint16_t kOptionBase = 0x081A;

enum class CoinOutcome { kAccepted, kRejected, kInhibited };

// Counts one inserted coin on every counter whose option (as RAM holds the
// options) counts it. channel and value matter for accepted coins only.
void count_coin(Memory& memory, CoinOutcome outcome, int channel, std::uint16_t value);

}  // namespace qv82::sim
