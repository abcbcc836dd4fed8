#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/bytes.h"

namespace qv82::cli {

// Arguments of the device commands, read strictly: anything else is a
// usage error before the device is touched.

// A memory address of one to four hex digits.
std::optional<std::uint16_t> parse_memory_address(const std::string& text);
// A decimal number within [low, high].
std::optional<int> parse_decimal_in(const std::string& text, int low, int high);
// Hex text of whole bytes, at least one.
std::optional<Bytes> parse_hex_bytes(const std::string& text);

}  // namespace qv82::cli
