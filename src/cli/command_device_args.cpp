#include "cli/command_device_args.h"

#include <cctype>

#include "files/text.h"

namespace qv82::cli {

std::optional<std::uint16_t> parse_memory_address(const std::string& text) {
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits = digits.substr(2);
  }
  if (digits.empty() || digits.size() > 4 || !all_hex(digits)) return std::nullopt;
  return static_cast<std::uint16_t>(std::stoul(digits, nullptr, 16));
}

std::optional<int> parse_decimal_in(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  const int value = std::stoi(text);
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::optional<Bytes> parse_hex_bytes(const std::string& text) {
  if (text.empty() || text.size() % 2 != 0 || !all_hex(text)) return std::nullopt;
  return hex_to_bytes(text);
}

}  // namespace qv82::cli
