#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/random.h"

namespace qv82::sim {

inline constexpr int kParameterCount = 13;
inline constexpr int kChannelCount = 16;
inline constexpr std::size_t kChannelRecordSize = 32;

using Measurement = std::array<std::uint8_t, kParameterCount>;

// A kind of coin the bench can insert: the 13 values its measurements
// centre on and how widely they scatter (standard deviation).
struct CoinKind {
  std::string name;
  std::uint16_t value = 0;
  std::array<double, kParameterCount> nominal{};
  std::array<double, kParameterCount> spread{};
};

// Coin kinds drawn from the generator: the same seed gives the same kinds.
std::vector<CoinKind> make_coin_kinds(Random& random, std::size_t count);

// One insertion of a coin of that kind: each value drawn around its nominal.
Measurement measure(const CoinKind& kind, Random& random);

// The measurement with parameter (1..13) moved by delta, within 0..255: a coin that is not quite
// the kind it looks like, for an outlier among the samples of coin programming.
Measurement disturbed(Measurement measured, int parameter, int delta);

// A channel record (32 bytes) that accepts the kind: nominal values, a
// tolerance of three spreads plus a margin, enabled, ccTalk reporting on.
std::array<std::uint8_t, kChannelRecordSize> channel_record_for(const CoinKind& kind,
                                                                std::uint8_t sorter_path);

// The first channel (1..16) whose enabled record accepts the measurement,
// given the 16 records in order (512 bytes).
std::optional<int> matching_channel(const std::uint8_t* records, const Measurement& measured);

}  // namespace qv82::sim
