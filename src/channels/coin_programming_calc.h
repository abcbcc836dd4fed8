#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "channels/channel_record.h"

namespace qv82 {

// The 13 values the device measured for one inserted coin.
using CoinSample = std::array<std::uint8_t, kChannelParameterCount>;

// "Tollerance:" items, in list order.
enum class ToleranceLevel { kHigh = 0, kMiddle = 1, kLow = 2 };

// How many standard deviations wide the acceptance window of a parameter is.
double tolerance_factor(ToleranceLevel level);
// "High", "Middle", "Low" in the current language.
std::string tolerance_name(ToleranceLevel level);
// The level named by English text, any letter case; false when none is.
bool parse_tolerance_level(std::string_view text, ToleranceLevel& level);

// One line of the sample list: each value right-aligned in 3 characters and followed by a
// blank, 52 characters in all.
std::string sample_line(const CoinSample& sample);

// Margin added to each tolerance (only the low 8 bits of the configured number count).
using ToleranceMargins = std::array<std::uint8_t, kChannelParameterCount>;

struct ComputedParameters {
  std::array<std::uint8_t, kChannelParameterCount> parameters{};
  std::array<std::uint8_t, kChannelParameterCount> tolerances{};
};

// Parameter k is the mean of the samples, tolerance k the sample standard deviation (0 for a
// single sample) times the factor plus margin k. Both round halves to the even neighbour; the
// tolerance keeps its low 8 bits. samples must not be empty.
ComputedParameters compute_parameters(std::span<const CoinSample> samples, double factor,
                                      const ToleranceMargins& margins);

}  // namespace qv82
