#include "device/device_state.h"

#include "lang/language.h"

namespace qv82 {

// Not in the message table; the panel caption stands here.
static constexpr const char* kLastModificationCaption = "Last modification date:";

std::uint8_t area_of_address(std::uint16_t address) {
  struct Range {
    std::uint16_t first;
    std::uint16_t last;
    std::uint8_t area;
  };
  static constexpr Range kRanges[] = {
      {0x0570, 0x076F, kAreaChannels},
      {0x0770, 0x07AF, kAreaIoConfiguration},
      {0x07B0, 0x07EF, kAreaModes},
      {0x07F0, 0x0815, kAreaCommonParameters},
      {0x0816, 0x082F, kAreaStatisticOptions},
      {0x0830, 0x086F, kAreaStatisticCounters},
  };
  for (const Range& range : kRanges) {
    if (address >= range.first && address <= range.last) return range.area;
  }
  return kAreaNone;
}

std::vector<std::pair<std::string, std::string>> device_info_lines(const DeviceInfo& info) {
  return {
      {language_text(msg::kProductCode), info.product_code},
      {language_text(msg::kSerialNumber), info.serial_number},
      {language_text(msg::kBuildCode), info.build_code},
      {language_text(msg::kSoftwareRevision), info.software_revision},
      {language_text(msg::kProductionDate), info.production_date},
      {kLastModificationCaption, info.modification_date},
  };
}

std::array<Bytes, kChannelCount> DeviceState::empty_channels() {
  std::array<Bytes, kChannelCount> channels;
  channels.fill(Bytes(kChannelRecordSize, 0xFF));
  return channels;
}

}  // namespace qv82
