#include "sim/coins.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qv82::sim {

namespace {

// Status byte bits of a channel record.
constexpr std::uint8_t kChannelDisabled = 0x01;
constexpr std::uint8_t kFakeCoin = 0x02;
// Device-internal bits as coin programming writes them.
constexpr std::uint8_t kStatusBase = 0x70;
constexpr std::uint16_t kKindValues[] = {5, 10, 20, 50, 100, 200, 25, 250, 2, 500};

}  // namespace

std::vector<CoinKind> make_coin_kinds(Random& random, std::size_t count) {
  std::vector<CoinKind> kinds(count);
  for (std::size_t i = 0; i < count; ++i) {
    CoinKind& kind = kinds[i];
    kind.value = kKindValues[i % std::size(kKindValues)];
    kind.name = "Coin " + std::to_string(i) + " (" + std::to_string(kind.value) + ")";
    for (int k = 0; k < kParameterCount; ++k) {
      kind.nominal[k] = random.between(40, 215);
      kind.spread[k] = 0.5 + 2.5 * random.uniform();
    }
  }
  return kinds;
}

Measurement measure(const CoinKind& kind, Random& random) {
  Measurement values{};
  for (int k = 0; k < kParameterCount; ++k) {
    const double value = std::round(kind.nominal[k] + kind.spread[k] * random.normal());
    values[k] = static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
  }
  return values;
}

Measurement disturbed(Measurement measured, int parameter, int delta) {
  std::uint8_t& value = measured.at(static_cast<std::size_t>(parameter - 1));
  value = static_cast<std::uint8_t>(std::clamp(int{value} + delta, 0, 255));
  return measured;
}

std::array<std::uint8_t, kChannelRecordSize> channel_record_for(const CoinKind& kind,
                                                                std::uint8_t sorter_path) {
  std::array<std::uint8_t, kChannelRecordSize> record{};
  for (int k = 0; k < kParameterCount; ++k) {
    record[k] = static_cast<std::uint8_t>(std::clamp(std::round(kind.nominal[k]), 0.0, 255.0));
    const double tolerance = std::ceil(3.0 * kind.spread[k]) + 2.0;
    record[kParameterCount + k] = static_cast<std::uint8_t>(std::min(tolerance, 255.0));
  }
  record[26] = kStatusBase;
  record[27] = sorter_path;
  record[28] = 1;     // EU
  record[29] = 0xC0;  // CVF index 0, mint "A"
  record[30] = static_cast<std::uint8_t>(kind.value >> 8);
  record[31] = static_cast<std::uint8_t>(kind.value & 0xFF);
  return record;
}

std::optional<int> matching_channel(const std::uint8_t* records, const Measurement& measured) {
  for (int channel = 0; channel < kChannelCount; ++channel) {
    const std::uint8_t* record = records + channel * kChannelRecordSize;
    if ((record[26] & (kChannelDisabled | kFakeCoin)) != 0) continue;
    bool inside = true;
    for (int k = 0; k < kParameterCount && inside; ++k) {
      inside = std::abs(int{measured[k]} - int{record[k]}) <= int{record[kParameterCount + k]};
    }
    if (inside) return channel + 1;
  }
  return std::nullopt;
}

}  // namespace qv82::sim
