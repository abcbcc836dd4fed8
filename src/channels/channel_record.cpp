#include "channels/channel_record.h"

#include <string>

#include "channels/country_list.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr int kStatusOffset = 26;
constexpr int kDirectionOffset = 27;
constexpr int kCountryOffset = 28;
constexpr int kCoinCodeOffset = 29;
constexpr int kValueOffset = 30;

constexpr std::uint8_t kChannelDisabled = 0x01;
constexpr std::uint8_t kFakeCoin = 0x02;
constexpr std::uint8_t kSelectiveInhibit = 0x04;
constexpr std::uint8_t kCcTalkOff = 0x08;

constexpr int kDirectionItems = 9;
constexpr std::uint8_t kNone = 0xFF;

}  // namespace

Bytes erased_channel_record() { return Bytes(kChannelRecordSize, 0xFF); }

DecodedChannel StrToChannel(const Bytes& record) {
  if (record.size() != kChannelRecordSize) {
    throw ConversionError("Invalid channel record: " + std::to_string(record.size()) +
                          " bytes instead of " + std::to_string(kChannelRecordSize));
  }
  DecodedChannel decoded;
  ChannelView& view = decoded.view;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    view.parameters[k] = record[k];
    view.tolerances[k] = record[kChannelParameterCount + k];
  }

  const std::uint8_t status = record[kStatusOffset];
  view.cctalk = (status & kCcTalkOff) == 0;
  view.selective = (status & kSelectiveInhibit) != 0;
  view.enabled = (status & kChannelDisabled) == 0;
  view.fake = (status & kFakeCoin) != 0;
  decoded.status_high_bits = status & 0xF0;

  // The drop-down has nine items; any other stored direction shows nothing.
  const std::uint8_t direction = record[kDirectionOffset];
  view.direction = direction < kDirectionItems ? direction : -1;

  const std::uint8_t country = record[kCountryOffset];
  view.country = country < kCountryNotProgrammed ? country : kCountryNotProgrammed;

  const std::uint8_t coin_code = record[kCoinCodeOffset];
  view.cvf = coin_code & 0x0F;
  view.mint = (coin_code & 0x30) >> 4;

  view.value = record[kValueOffset] * 256 + record[kValueOffset + 1];
  return decoded;
}

Bytes ChannelToStr(const ChannelView& view, std::uint8_t status_base) {
  Bytes record(kChannelRecordSize, 0);
  for (int k = 0; k < kChannelParameterCount; ++k) {
    record[k] = static_cast<std::uint8_t>(view.parameters[k]);
    record[kChannelParameterCount + k] = static_cast<std::uint8_t>(view.tolerances[k]);
  }

  std::uint8_t status = status_base & 0xF0;
  if (!view.cctalk) status |= kCcTalkOff;
  if (view.selective) status |= kSelectiveInhibit;
  if (!view.enabled) status |= kChannelDisabled;
  if (view.fake) status |= kFakeCoin;
  record[kStatusOffset] = status;

  // No selection (-1) keeps its low 8 bits, which is the stored "none".
  record[kDirectionOffset] = static_cast<std::uint8_t>(view.direction);
  record[kCountryOffset] = (view.country < 0 || view.country >= kCountryNotProgrammed)
                               ? kNone
                               : static_cast<std::uint8_t>(view.country);
  // Bits 6-7 are always set; no selection (-1) gives CVF 15 and mint 3.
  record[kCoinCodeOffset] =
      static_cast<std::uint8_t>(0xC0 | ((view.mint * 16) & 0x30) | (view.cvf & 0x0F));
  record[kValueOffset] = static_cast<std::uint8_t>((view.value >> 8) & 0xFF);
  record[kValueOffset + 1] = static_cast<std::uint8_t>(view.value & 0xFF);
  return record;
}

}  // namespace qv82
