#include "diagnostics/production_limits.h"

#include "files/ini_file.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

namespace {

unsigned read_key(const IniFile& file, const std::string& section, const char* key,
                  unsigned maximum) {
  const unsigned long value = read_hex_setting(file, section, key, "0");
  if (value > maximum) {
    throw ConversionError("[" + section + "] " + key + " in " + file.path() + ": " +
                          quoted_value(file.read_string(section, key, "0")) + " is too large");
  }
  return static_cast<unsigned>(value);
}

Range read_range(const IniFile& file, const std::string& section, const std::string& name,
                 unsigned maximum) {
  return Range{read_key(file, section, (name + "_MIN").c_str(), maximum),
               read_key(file, section, (name + "_MAX").c_str(), maximum)};
}

std::string hex_digits(const Bytes& data, std::size_t offset, std::size_t count) {
  return bytes_to_hex(Bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                            data.begin() + static_cast<std::ptrdiff_t>(offset + count)));
}

}  // namespace

ProductionLimits read_production_limits(const IniFile& file, const std::string& section) {
  ProductionLimits limits;
  limits.sw1 = static_cast<std::uint8_t>(read_key(file, section, "SW1", 0xFF));
  limits.sw2 = static_cast<std::uint8_t>(read_key(file, section, "SW2", 0xFF));
  limits.opto_mask = static_cast<std::uint8_t>(read_key(file, section, "OPTO_MASK", 0xFF));
  limits.regulator1_duty = read_range(file, section, "TPM1C3V", 0xFFFF);
  limits.regulator2_duty = read_range(file, section, "TPM1C4V", 0xFFFF);
  limits.am1 = read_range(file, section, "AM1", 0xFF);
  limits.ph1 = read_range(file, section, "PH1", 0xFF);
  limits.am2 = read_range(file, section, "AM2", 0xFF);
  limits.ph2 = read_range(file, section, "PH2", 0xFF);
  limits.pi3 = read_range(file, section, "PI3", 0xFF);
  limits.vcc = read_range(file, section, "V", 0xFF);
  limits.temperature = read_range(file, section, "T", 0xFF);
  return limits;
}

std::optional<std::string> check_measurements(const Measurements& values,
                                              const ProductionLimits& limits) {
  struct Check {
    unsigned value;
    const Range& range;
    int message;
    std::size_t offset;
    std::size_t width;
  };
  const Check checks[] = {
      {values.regulator1_duty(), limits.regulator1_duty, msg::kRegulator1DutyErrorValue, 0, 2},
      {values.regulator2_duty(), limits.regulator2_duty, msg::kRegulator2DutyErrorValue, 2, 2},
      {values.am1(), limits.am1, msg::kAm1ErrorValue, 4, 1},
      {values.ph1(), limits.ph1, msg::kPh1ErrorValue, 5, 1},
      {values.am2(), limits.am2, msg::kAm2ErrorValue, 6, 1},
      {values.ph2(), limits.ph2, msg::kPh2ErrorValue, 7, 1},
      {values.pi3(), limits.pi3, msg::kPi3ErrorValue, 8, 1},
      {values.vcc(), limits.vcc, msg::kVccErrorValue, 9, 1},
      {values.temperature(), limits.temperature, msg::kTempErrorValue, 10, 1},
  };
  for (const Check& check : checks) {
    if (!check.range.contains(check.value)) {
      return language_text(check.message) + hex_digits(values.data, check.offset, check.width);
    }
  }
  return std::nullopt;
}

std::optional<std::string> check_opto(std::uint8_t opto, std::uint8_t mask) {
  const std::uint8_t differing = opto ^ mask;
  if (differing == 0) return std::nullopt;
  std::string text = language_text(msg::kOptoSensorError);
  for (int bit = 0; bit < 8; ++bit) {
    if (differing & (1u << bit)) text += ", FT" + std::to_string(bit + 1);
  }
  return text + " " + bytes_to_hex(Bytes{opto});
}

std::uint8_t average_of_four(unsigned sum) {
  unsigned quotient = sum / 4;
  const unsigned remainder = sum % 4;
  if (remainder > 2 || (remainder == 2 && quotient % 2 == 1)) ++quotient;
  return static_cast<std::uint8_t>(quotient);
}

}  // namespace qv82
