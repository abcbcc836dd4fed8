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

// The coins a channel record accepts: centred on its means, scattering by a
// quarter of its tolerances, so that nearly every one falls inside. Named
// after the record's country, value and mint and the channel (1..16).
CoinKind coin_kind_for_record(const std::uint8_t* record, int channel);

// Kinds of coin no factory channel is meant for, drawn from the generator:
// the same seed gives the same kinds.
std::vector<CoinKind> make_foreign_kinds(Random& random, std::size_t count);

// One insertion of a coin of that kind: each value drawn around its nominal.
Measurement measure(const CoinKind& kind, Random& random);

// The measurement with parameter (1..13) moved by delta, within 0..255: a coin that is not quite
// the kind it looks like, for an outlier among the samples of coin programming.
Measurement disturbed(Measurement measured, int parameter, int delta);

// True when the record is a programmed channel that accepts coins: enabled,
// not a fake coin, with a country.
bool accepts_coins(const std::uint8_t* record);

// The first channel (1..16) whose enabled record accepts the measurement,
// given the 16 records in order (512 bytes).
std::optional<int> matching_channel(const std::uint8_t* records, const Measurement& measured);

}  // namespace qv82::sim
