#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv82 {

// Frames, replies, memory blocks and channel records all travel as raw bytes.
using Bytes = std::vector<std::uint8_t>;

// Bytes as upper-case hex, two digits each, no separator ("FF0205".)
std::string bytes_to_hex(const Bytes& bytes);

// Reads the text pair by pair; an odd last character is ignored.
// Throws ConversionError when a pair is not a hexadecimal number.
Bytes hex_to_bytes(std::string_view text);

// Text and byte strings are interchangeable where the device sends ASCII.
std::string bytes_to_text(const Bytes& bytes);
Bytes text_to_bytes(std::string_view text);

}  // namespace qv82
