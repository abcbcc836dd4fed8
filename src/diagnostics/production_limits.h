#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/bytes.h"

namespace qv82 {

class IniFile;

inline constexpr const char* kProductionFileName = "Production.ini";

// Inclusive limits of one measured value.
struct Range {
  unsigned min = 0;
  unsigned max = 0;
  bool contains(unsigned value) const { return value >= min && value <= max; }
};

// The expected values and limits of one device type, from its section of
// Production.ini (hexadecimal text, missing keys 0).
struct ProductionLimits {
  std::uint8_t sw1 = 0;
  std::uint8_t sw2 = 0;
  std::uint8_t opto_mask = 0;
  Range regulator1_duty;
  Range regulator2_duty;
  Range am1, ph1, am2, ph2, pi3;
  Range vcc;
  Range temperature;
};

// Reads the section's keys. Throws ConversionError for a value that is not
// a hexadecimal number or does not fit the key's width.
ProductionLimits read_production_limits(const IniFile& file, const std::string& section);

// The eleven data bytes of the measurement reply (vendor request 04).
struct Measurements {
  static constexpr std::size_t kSize = 11;
  Bytes data;

  unsigned regulator1_duty() const { return data[0] << 8 | data[1]; }
  unsigned regulator2_duty() const { return data[2] << 8 | data[3]; }
  std::uint8_t am1() const { return data[4]; }
  std::uint8_t ph1() const { return data[5]; }
  std::uint8_t am2() const { return data[6]; }
  std::uint8_t ph2() const { return data[7]; }
  std::uint8_t pi3() const { return data[8]; }
  std::uint8_t vcc() const { return data[9]; }
  std::uint8_t temperature() const { return data[10]; }
};

// The first limit a measurement breaks, worded as the production test shows
// it ("PH1 error, value = 8D", the value as its digits stand in the reply);
// nothing when every value is within its limits.
std::optional<std::string> check_measurements(const Measurements& values,
                                              const ProductionLimits& limits);

// The "Opto sensor error, FT3, FT5 2C" text for opto bits that differ from
// the mask; nothing when they all match.
std::optional<std::string> check_opto(std::uint8_t opto, std::uint8_t mask);

// A DIP switch bank as read (input line bits on top) against its expected
// value: only the six switches count.
constexpr bool dip_switches_match(std::uint8_t read, std::uint8_t expected) {
  return (read & 0x3F) == (expected & 0x3F);
}

// A sum of four readings divided by four, halves to the even neighbour.
std::uint8_t average_of_four(unsigned sum);

}  // namespace qv82
