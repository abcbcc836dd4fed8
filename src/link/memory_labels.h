#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/bytes.h"

namespace qv82 {

// What a stretch of device memory holds, for reading a log: the areas it
// touches and, inside the channel and I/O areas, the record numbers
// ("0x05D0, 32 bytes: channel 3").
std::string describe_memory_range(std::uint16_t address, std::size_t length);

// The label of one byte of memory ("channel 3", "I/O record 1 Output1",
// "common parameters").
std::string memory_label(std::uint32_t address);

// The bytes themselves, cut where the area or record changes, each piece
// led by its address and label ("0x0770 I/O record 1 Output1: 0102...").
std::string describe_memory_bytes(std::uint16_t address, const Bytes& bytes);

// "1 byte", "32 bytes", in the current language.
std::string byte_count(std::size_t count);

}  // namespace qv82
