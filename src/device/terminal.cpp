#include <cctype>

#include "device/coin_selector.h"
#include "files/text.h"
#include "link/errors.h"

namespace qv82 {

namespace {

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Clears the bypass however the check ends.
class PinBypass {
 public:
  explicit PinBypass(DeviceState& state) : state_(state) { state_.pin_check_bypass = true; }
  ~PinBypass() { state_.pin_check_bypass = false; }
  PinBypass(const PinBypass&) = delete;
  PinBypass& operator=(const PinBypass&) = delete;

 private:
  DeviceState& state_;
};

// Hex as people type it, "FF 02 05 70 00 20", as the device takes it.
std::string without_blanks(const std::string& typed) {
  std::string text;
  for (const char c : typed) {
    if (!std::isspace(static_cast<unsigned char>(c))) text += c;
  }
  return text;
}

}  // namespace

std::optional<std::uint8_t> CoinSelector::terminal_send(const std::string& typed) {
  const std::string text = upper_case(without_blanks(typed));

  // Checked before anything else, so bad text neither asks for a password
  // nor reaches the device.
  hex_to_bytes(text);

  const bool memory_write = starts_with(text, "FF03") && text.size() > 4;
  if ((memory_write || starts_with(text, "FF02")) && text.size() > 3) {
    const std::string address_text = text.substr(4, 4);
    if (address_text.empty())
      throw ConversionError(quoted_value(text) + " holds no memory address");
    const auto address = static_cast<std::uint16_t>(parse_hex_number(address_text));
    // The check unlocks the device; its outcome does not hold the command
    // back (the device itself refuses what stays locked).
    check_access(memory_write ? AccessKind::Write : AccessKind::Read, area_of_address(address));
  }
  if (starts_with(text, "FF07") && text.size() > 3) {
    PinBypass bypass(state);
    check_access(AccessKind::Write, kAreaNone);
  }
  if (text.size() <= 1) return std::nullopt;
  std::string reply;
  return link.cctalk_transaction(link.device_address, text, reply, 10, true, false);
}

}  // namespace qv82
