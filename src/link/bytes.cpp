#include "link/bytes.h"

#include "files/text.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

std::string bytes_to_hex(const Bytes& bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) text += hex_byte(b);
  return text;
}

Bytes hex_to_bytes(std::string_view text) {
  Bytes bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    const int byte = hex_pair(text.substr(i, 2));
    if (byte < 0) {
      throw ConversionError(language_text(msg::kNotAHexValue, {quoted_value(text.substr(i, 2))}));
    }
    bytes.push_back(static_cast<std::uint8_t>(byte));
  }
  return bytes;
}

std::string bytes_to_text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes text_to_bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

}  // namespace qv82
