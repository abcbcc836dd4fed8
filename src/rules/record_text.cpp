#include "rules/record_text.h"

#include <cctype>

#include "files/text.h"

namespace qv82 {

std::string text_part(std::string_view text, std::size_t pos, std::size_t len) {
  if (pos >= text.size()) return {};
  return std::string(text.substr(pos, len));
}

char swapped_direction(char digit) {
  switch (digit) {
    case '1':
      return '2';
    case '2':
      return '1';
    case '3':
      return '4';
    case '4':
      return '3';
    default:
      return digit;
  }
}

int record_byte(std::string_view text, std::size_t b) {
  return hex_pair(text_part(text, 2 * b, 2));
}

void set_record_byte(std::string& text, std::size_t b, unsigned value) {
  if (text.size() < 2 * b + 2) text.resize(2 * b + 2, '0');
  text.replace(2 * b, 2, hex_byte(value));
}

long round_half_even(long num, long den) {
  long quotient = num / den;
  const long twice_rest = 2 * (num % den);
  if (twice_rest > den || (twice_rest == den && quotient % 2 != 0)) ++quotient;
  return quotient;
}

std::string trimmed(std::string_view text) { return std::string(trim(text, " \t\r\n")); }

bool list_has_pair(std::string_view list, std::string_view code) {
  for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
    if (same_text_ignoring_case(list.substr(i, 2), code)) return true;
  }
  return false;
}

bool is_sorter_record(std::string_view record) {
  const std::string prefix = upper_case(text_part(record, 0, 4));
  return prefix == "0103" || prefix == "0183";
}

}  // namespace qv82
