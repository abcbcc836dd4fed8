#pragma once

#include <cstdint>

namespace qv82::sim {

// Small deterministic generator (xorshift64*): the same seed gives the same
// challenges, coin kinds and measurements on every platform and library, so
// tests can rely on exact values.
class Random {
 public:
  explicit Random(std::uint64_t seed = 1) { reseed(seed); }
  void reseed(std::uint64_t seed);

  std::uint64_t next();
  std::uint8_t byte() { return static_cast<std::uint8_t>(next() >> 56); }
  // Uniform in [0, 1).
  double uniform();
  // Uniform integer in [low, high].
  int between(int low, int high);
  // Standard normal deviate (Box-Muller).
  double normal();

 private:
  std::uint64_t state_ = 1;
};

}  // namespace qv82::sim
