#include "device/device_state.h"

#include "lang/language.h"

namespace qv82 {

std::vector<std::pair<std::string, std::string>> device_info_lines(const DeviceInfo& info) {
  return {
      {language_text(msg::kProductCode), info.product_code},
      {language_text(msg::kSerialNumber), info.serial_number},
      {language_text(msg::kBuildCode), info.build_code},
      {language_text(msg::kSoftwareRevision), info.software_revision},
      {language_text(msg::kProductionDate), info.production_date},
      {language_text(msg::kLastModificationDate), info.modification_date},
  };
}

std::array<Bytes, kChannelCount> DeviceState::empty_channels() {
  std::array<Bytes, kChannelCount> channels;
  channels.fill(Bytes(kChannelRecordSize, 0xFF));
  return channels;
}

}  // namespace qv82
