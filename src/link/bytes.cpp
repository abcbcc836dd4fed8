#include "link/bytes.h"

#include "link/errors.h"

namespace qv82 {

namespace {

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string bytes_to_hex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0x0F]);
  }
  return text;
}

Bytes hex_to_bytes(std::string_view text) {
  Bytes bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const int high = hex_digit_value(text[i]);
    const int low = hex_digit_value(text[i + 1]);
    if (high < 0 || low < 0) {
      throw ConversionError(quoted_value(text.substr(i, 2)) + " is not a valid hexadecimal value");
    }
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::string bytes_to_text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes text_to_bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

}  // namespace qv82
