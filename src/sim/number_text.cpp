#include "sim/number_text.h"

#include "link/errors.h"

namespace qv82::sim {

long number_between(const std::string& text, long low, long high, const std::string& what) {
  const long value = parse_decimal_number(text);
  if (value < low || value > high) {
    throw ConversionError(what + " must be between " + std::to_string(low) + " and " +
                          std::to_string(high));
  }
  return value;
}

}  // namespace qv82::sim
