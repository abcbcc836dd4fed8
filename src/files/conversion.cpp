#include "files/conversion.h"

#include <cctype>
#include <cstdlib>

#include "files/text.h"

namespace qv82 {

namespace {

[[noreturn]] void not_a_number(const std::string& text, const char* kind) {
  throw ConversionError(quoted_value(text) + " is not a valid " + kind + " value");
}

constexpr std::size_t kQuotedLength = 60;

}  // namespace

std::string quoted_value(std::string_view text) {
  std::string out = "'";
  std::size_t shown = 0;
  for (const char c : text) {
    if (shown == kQuotedLength) {
      out += "...";
      break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += hex_byte(byte);
    } else {
      out += c;
    }
    ++shown;
  }
  return out + "'";
}

unsigned long parse_hex_number(const std::string& text) {
  const std::string t(trim(text));
  if (t.empty() || t.size() > 8) not_a_number(text, "hexadecimal");
  if (!all_hex(t)) not_a_number(text, "hexadecimal");
  return std::strtoul(t.c_str(), nullptr, 16);
}

long parse_decimal_number(const std::string& text) {
  const std::string t(trim(text));
  std::size_t start = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  if (t.size() == start || t.size() > start + 9) not_a_number(text, "integer");
  for (std::size_t i = start; i < t.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(t[i]))) not_a_number(text, "integer");
  }
  return std::strtol(t.c_str(), nullptr, 10);
}

}  // namespace qv82
