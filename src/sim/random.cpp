#include "sim/random.h"

#include <cmath>

namespace qv82::sim {

void Random::reseed(std::uint64_t seed) {
  // splitmix64 spreads small seeds (0, 1, 2 ...) over the whole state.
  std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  state_ = (z ^ (z >> 31)) | 1;
}

std::uint64_t Random::next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return state_ * 0x2545F4914F6CDD1DULL;
}

double Random::uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

int Random::between(int low, int high) {
  if (high <= low) return low;
  const auto span = static_cast<std::uint64_t>(high - low) + 1;
  return low + static_cast<int>(next() % span);
}

double Random::normal() {
  constexpr double kTwoPi = 6.283185307179586;
  double u1 = uniform();
  while (u1 <= 0.0) u1 = uniform();
  const double u2 = uniform();
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(kTwoPi * u2);
}

}  // namespace qv82::sim
