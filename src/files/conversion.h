#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace qv82 {

// A number or hex text that cannot be converted (a setting, a typed command,
// a file). It ends the operation in progress and its text reaches the user.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value from a file or a command for a message: in single quotes, bytes
// that are not printable (NUL included, which would end the message) as
// \xNN, and at most 60 characters of it followed by "...".
std::string quoted_value(std::string_view text);

// Reads hexadecimal text as an unsigned number ("0F" -> 15); surrounding
// blanks are allowed, anything else throws ConversionError.
unsigned long parse_hex_number(const std::string& text);

// Reads a decimal integer, sign allowed; throws ConversionError otherwise.
long parse_decimal_number(const std::string& text);

}  // namespace qv82
