#include "rules/record_text.h"

#include <cctype>

namespace qv82 {

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string text_part(std::string_view text, std::size_t pos, std::size_t len) {
  if (pos >= text.size()) return {};
  return std::string(text.substr(pos, len));
}

int hex_pair(std::string_view two) {
  if (two.size() < 2) return -1;
  const int high = hex_digit(two[0]);
  const int low = hex_digit(two[1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
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

std::string hex2(unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[(value >> 4) & 0x0F], kDigits[value & 0x0F]};
}

void set_record_byte(std::string& text, std::size_t b, unsigned value) {
  if (text.size() < 2 * b + 2) text.resize(2 * b + 2, '0');
  text.replace(2 * b, 2, hex2(value));
}

long round_half_even(long num, long den) {
  long quotient = num / den;
  const long twice_rest = 2 * (num % den);
  if (twice_rest > den || (twice_rest == den && quotient % 2 != 0)) ++quotient;
  return quotient;
}

std::string upper_text(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool same_text_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && upper_text(a) == upper_text(b);
}

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

bool list_has_pair(std::string_view list, std::string_view code) {
  for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
    if (same_text_ignoring_case(list.substr(i, 2), code)) return true;
  }
  return false;
}

bool is_sorter_record(std::string_view record) {
  const std::string prefix = upper_text(text_part(record, 0, 4));
  return prefix == "0103" || prefix == "0183";
}

}  // namespace qv82
