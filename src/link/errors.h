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

// A failure of the serial port, worded as the user sees it: which port, and
// the system's reason ("Unable to open com port /dev/ttyUSB0: Permission
// denied", "/dev/ttyUSB0 was disconnected").
class PortError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The texts of the port's failures.
std::string port_open_failure(const std::string& port, const std::string& reason);
std::string port_disconnected(const std::string& port);
std::string port_write_failure(const std::string& port, const std::string& reason);
std::string port_list_failure(const std::string& reason);
// A value from a file or a command for a message: in single quotes, bytes
// that are not printable (NUL included, which would end the message) as
// \xNN, and at most 60 characters of it followed by "...".
std::string quoted_value(std::string_view text);

// Why a data file cannot be read, naming it ("PATH is missing", "PATH is a
// folder, not a file"); empty when it is a readable file.
std::string file_problem(const std::string& path);

// Reads hexadecimal text as an unsigned number ("0F" -> 15); surrounding
// blanks are allowed, anything else throws ConversionError.
unsigned long parse_hex_number(const std::string& text);

// Reads a decimal integer, sign allowed; throws ConversionError otherwise.
long parse_decimal_number(const std::string& text);

}  // namespace qv82
