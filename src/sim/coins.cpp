#include "sim/coins.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "channels/country_list.h"

namespace qv82::sim {

namespace {

// Status byte bits of a channel record.
constexpr std::uint8_t kChannelDisabled = 0x01;
constexpr std::uint8_t kFakeCoin = 0x02;
constexpr std::size_t kCountryByte = 28;
constexpr std::size_t kCoinCodeByte = 29;
constexpr std::uint8_t kNoCountry = 0xFF;

}  // namespace

CoinKind coin_kind_for_record(const std::uint8_t* record, int channel) {
  CoinKind kind;
  kind.value = static_cast<std::uint16_t>(record[30] << 8 | record[31]);
  const int mint = (record[kCoinCodeByte] >> 4) & 0x03;
  kind.name = std::string(country_code(record[kCountryByte])) + " " + std::to_string(kind.value) +
              ", mint " + "ABC."[mint] + ", channel " + std::to_string(channel);
  for (int k = 0; k < kParameterCount; ++k) {
    kind.nominal[k] = record[k];
    kind.spread[k] = std::max(0.25, record[kParameterCount + k] / 4.0);
  }
  return kind;
}

std::vector<CoinKind> make_foreign_kinds(Random& random, std::size_t count) {
  std::vector<CoinKind> kinds(count);
  for (std::size_t i = 0; i < count; ++i) {
    CoinKind& kind = kinds[i];
    kind.name = "Foreign coin " + std::to_string(i + 1);
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

bool accepts_coins(const std::uint8_t* record) {
  return (record[26] & (kChannelDisabled | kFakeCoin)) == 0 && record[kCountryByte] != kNoCountry;
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
