#include "link/errors.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace qv82 {

std::string port_open_failure(const std::string& port, const std::string& reason) {
  return "Unable to open com port " + port + ": " + reason;
}

std::string port_disconnected(const std::string& port) { return port + " was disconnected"; }

std::string port_write_failure(const std::string& port, const std::string& reason) {
  return "Unable to write to " + port + ": " + reason;
}

std::string port_list_failure(const std::string& reason) { return "Registry error: " + reason; }

namespace {

std::string trimmed(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

[[noreturn]] void not_a_number(const std::string& text, const char* kind) {
  throw ConversionError(quoted_value(text) + " is not a valid " + kind + " value");
}

constexpr std::size_t kQuotedLength = 60;

}  // namespace

std::string quoted_value(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
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
      out += kDigits[byte >> 4];
      out += kDigits[byte & 0x0F];
    } else {
      out += c;
    }
    ++shown;
  }
  return out + "'";
}

std::string file_problem(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return path + " is missing";
  if (error) return path + " cannot be read: " + error.message();
  if (fs::is_directory(status)) return path + " is a folder, not a file";
  if (!fs::is_regular_file(status)) return path + " is not a regular file";
  errno = 0;
  if (!std::ifstream(path, std::ios::binary).is_open()) {
    const int code = errno;
    return path + " cannot be read: " +
           (code != 0 ? std::generic_category().message(code) : std::string("open failed"));
  }
  return {};
}

unsigned long parse_hex_number(const std::string& text) {
  const std::string t = trimmed(text);
  if (t.empty() || t.size() > 8) not_a_number(text, "hexadecimal");
  for (char c : t) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) not_a_number(text, "hexadecimal");
  }
  return std::strtoul(t.c_str(), nullptr, 16);
}

long parse_decimal_number(const std::string& text) {
  const std::string t = trimmed(text);
  std::size_t start = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  if (t.size() == start || t.size() > start + 9) not_a_number(text, "integer");
  for (std::size_t i = start; i < t.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(t[i]))) not_a_number(text, "integer");
  }
  return std::strtol(t.c_str(), nullptr, 10);
}

}  // namespace qv82
