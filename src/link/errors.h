#pragma once

#include <stdexcept>
#include <string>

namespace qv82 {

// A number or hex text that cannot be converted (a setting, a typed command,
// a file). It ends the operation in progress and its text reaches the user.
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure of the serial port, worded as the user sees it, for example
// "Unable to open com port (win error code: 2)".
class PortError : public std::runtime_error {
 public:
  PortError(const std::string& what, int code);
  int code() const { return code_; }

 private:
  int code_;
};

// Reads hexadecimal text as an unsigned number ("0F" -> 15); surrounding
// blanks are allowed, anything else throws ConversionError.
unsigned long parse_hex_number(const std::string& text);

// Reads a decimal integer, sign allowed; throws ConversionError otherwise.
long parse_decimal_number(const std::string& text);

}  // namespace qv82
