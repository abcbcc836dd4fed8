#include "device/coin_selector.h"
#include "files/ini_file.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr const char* kManufacturer = "Corvanti";
constexpr std::uint32_t kSerialNotProgrammed = 0xFFFFFF;

std::string two_hex_digits(std::uint8_t value) { return bytes_to_hex(Bytes{value}); }

}  // namespace

bool CoinSelector::identify_device() {
  const std::uint8_t address = link.device_address;
  Bytes reply;

  device_answered_ = false;
  if (link.cctalk_transaction(address, Bytes{0xF6}, reply, 5) != kTransactionOk) return false;
  device_answered_ = true;
  if (bytes_to_text(reply_data(reply)) != kManufacturer) {
    report(language_text(msg::kThisIsNotCorvantiDevice));
    return false;
  }
  if (link.cctalk_transaction(address, Bytes{0xFF, 0x08}, reply, 5) != kTransactionOk) {
    report(language_text(msg::kUnknownCorvantiDevice));
    return false;
  }
  const std::string type = bytes_to_text(reply_data(reply));
  if (!is_supported_type(type)) {
    const std::string why = supported_types_problem();
    if (why.empty()) {
      report(language_text(msg::kCoinSelectorNotCompatible));
    } else if (state.messages_enabled) {
      ui.file_error(language_text(msg::kCoinSelectorNotCompatible) + " " + why + " (device type " +
                    quoted_value(type) + ")");
    }
    return false;
  }

  read_information();

  state.access_masks = {};
  // The simulated selector's port would be no port at the next start.
  if (!settings.write_string("SETTINGS", "ccTalkAddr", two_hex_digits(address)) ||
      (!link.port.simulated() &&
       !settings.write_string("SETTINGS", "ComPort", link.port.port_name()))) {
    report(settings.last_error());
  }
  state.download_address = address;

  const std::uint8_t result =
      link.cctalk_transaction(address, Bytes{0xFF, 0x02, 0x07, 0xEB, 0x04}, reply, 10);
  if (result != kTransactionOk) {
    report(language_text(msg::kCommunicationError) + std::to_string(result));
    return false;
  }
  const Bytes masks = reply_data(reply);
  // A short answer would leave masks undefined: treat it as a refusal.
  if (!reply_is_ack(reply) || masks.size() < state.access_masks.size()) {
    report(language_text(msg::kErrorReadingReadWriteMasks) + std::to_string(result));
    return false;
  }
  std::copy_n(masks.begin(), state.access_masks.size(), state.access_masks.begin());
  return true;
}

// The six fields of the bottom panel. A request that fails leaves its field
// empty and does not stop the identification.
void CoinSelector::read_information() {
  const std::uint8_t address = link.device_address;
  state.info = {};
  auto text_of = [&](std::uint8_t header) -> std::string {
    Bytes reply;
    if (link.cctalk_transaction(address, Bytes{header}, reply, 5) != kTransactionOk) return {};
    return bytes_to_text(reply_data(reply));
  };

  state.info.product_code = text_of(0xF4);

  Bytes reply;
  if (link.cctalk_transaction(address, Bytes{0xF2}, reply, 5) == kTransactionOk) {
    const Bytes data = reply_data(reply);
    if (data.size() >= 3) {
      const std::uint32_t serial = data[0] | (data[1] << 8) | (std::uint32_t{data[2]} << 16);
      state.info.serial_number = serial == kSerialNotProgrammed ? language_text(msg::kNotProgrammed)
                                                                : std::to_string(serial);
    }
  }

  state.info.build_code = text_of(0xC0);
  state.info.software_revision = text_of(0xF1);
  state.info.production_date = read_date(0xC4);
  state.info.modification_date = read_date(0xC3);
  if (device_info_changed) device_info_changed();
}

std::string CoinSelector::read_date(std::uint8_t header) {
  Bytes reply;
  if (link.cctalk_transaction(link.device_address, Bytes{header}, reply, 5) != kTransactionOk) {
    return {};
  }
  const Bytes data = reply_data(reply);
  if (data.size() < 2) return {};
  const auto code = static_cast<std::uint16_t>((data[0] << 8) | data[1]);
  // A base year that cannot be read is the device's fault; it costs the
  // date, not the identification.
  try {
    return link.decode_date_code(code);
  } catch (const ConversionError& e) {
    report(e.what());
    return {};
  }
}

}  // namespace qv82
