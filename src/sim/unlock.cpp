#include "sim/unlock.h"

namespace qv82::sim {

namespace {

std::uint8_t swap(std::uint8_t x) { return static_cast<std::uint8_t>((x << 4) | (x >> 4)); }
std::uint8_t inv(std::uint8_t x) { return static_cast<std::uint8_t>(~x); }

}  // namespace

std::array<std::uint8_t, 6> unlock_response(const std::array<std::uint8_t, 6>& c, const Bytes& k) {
  return {
      static_cast<std::uint8_t>(swap(c[3]) ^ k[3]),
      swap(static_cast<std::uint8_t>(swap(c[4]) ^ k[4])),
      swap(static_cast<std::uint8_t>(inv(c[0]) ^ k[0])),
      swap(static_cast<std::uint8_t>(c[5] ^ k[5])),
      inv(static_cast<std::uint8_t>(swap(c[2]) ^ k[2])),
      inv(static_cast<std::uint8_t>(c[1] ^ k[1])),
  };
}

}  // namespace qv82::sim
