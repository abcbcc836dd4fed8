#include "rules/configuration_rules.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr std::size_t kCredit = 1;
constexpr std::size_t kBonus1Level = 2;
constexpr std::size_t kBonus2Level = 4;
constexpr std::size_t kStopTime = 8;
constexpr std::size_t kTimeoutWarning = 9;
constexpr std::size_t kTimeMultiplyer = 10;
constexpr std::size_t kDipSwMode = 11;
constexpr std::size_t kDisplayType = 14;
constexpr std::size_t kDispData = 15;
constexpr std::size_t kInhibitTime = 17;

}  // namespace

void ConfigurationRules::store_parameter_image() {
  ensure_parameter_image();
  std::string digits;
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    const int value = page.parameter(k).box.value;
    unsigned byte = static_cast<unsigned>(value < 0 ? 0 : value) & 0xFF;
    if (k == kTimeMultiplyer) byte = (byte & 0x7F) | (page.multiplier_in_minutes ? 0x80 : 0);
    if (k == kDipSwMode) byte = dip_code_;
    if (k == kDisplayType) byte = display_byte();
    if (k == kDispData) {
      const int multiplier = page.display_multiplier.index < 0 ? 0 : page.display_multiplier.index;
      byte = static_cast<unsigned>(16 * multiplier + page.display_decimals.value) & 0xFF;
    }
    digits += hex_byte(byte);
  }
  images.param_image = digits + images.param_image.substr(2 * kCommonParameterCount);
}

void ConfigurationRules::parameter_changed(std::size_t k) {
  switch (k) {
    case kCredit:
    case kBonus1Level:
    case kBonus2Level:
      order_credit_levels();
      break;
    case kTimeoutWarning:
      check_timeout_warning();
      break;
    case kTimeMultiplyer:
      time_multiplier_changed();
      break;
    case kStopTime:
    case kInhibitTime:
      update_parameter_units();
      break;
    default:
      break;
  }
}

void ConfigurationRules::set_multiplier_in_minutes(bool minutes) {
  page.multiplier_in_minutes = minutes;
  update_time_units();
}

// The program only ever pushes levels up: lowering "Credit" leaves them.
void ConfigurationRules::order_credit_levels() {
  NumberBox& credit = page.parameter(kCredit).box;
  NumberBox& bonus1 = page.parameter(kBonus1Level).box;
  NumberBox& bonus2 = page.parameter(kBonus2Level).box;
  if (bonus1.value < credit.value) bonus1.set(credit.value);
  if (bonus2.value < bonus1.value) bonus2.set(bonus1.value);
  // A credit change moves the limit of the credit timers.
  if (any_timed_output()) check_timeout_warning();
}

void ConfigurationRules::time_multiplier_changed() {
  if (!page.parameter(kTimeMultiplyer).box.visible) return;
  // The Time On boxes still hold values in the old step: take them as steps
  // first, then show the same steps in the new one.
  store_io_records();
  store_parameter_image();
  refresh_configuration_view();
  check_timeout_warning();
}

}  // namespace qv82
