#pragma once

#include <array>
#include <cstdint>

#include "link/bytes.h"

namespace qv82::sim {

// The response the device expects to its 6-byte challenge, given the 6-byte
// factory password. key must hold 6 bytes.
std::array<std::uint8_t, 6> unlock_response(const std::array<std::uint8_t, 6>& challenge,
                                            const Bytes& key);

}  // namespace qv82::sim
