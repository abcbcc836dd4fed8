#pragma once

#include <array>
#include <cstdint>

#include "link/bytes.h"

namespace qv82::sim {

inline constexpr std::size_t kMemorySize = 0x1000;
inline constexpr std::uint16_t kMaskAddress = 0x07EB;
inline constexpr std::uint16_t kChannelBase = 0x0570;
inline constexpr std::uint16_t kCounterBase = 0x0830;
inline constexpr int kCounterCount = 20;

enum class Access { kRead, kWrite };

// Area bit of one address: what the access masks open or close.
std::uint8_t area_of(std::uint16_t address);

// The device's memory: a RAM image the commands work on and a non-volatile
// image that survives a reset.
class Memory {
 public:
  using Image = std::array<std::uint8_t, kMemorySize>;

  Memory() {
    ram_.fill(0xFF);
    nv_.fill(0xFF);
  }

  const Image& ram() const { return ram_; }
  const Image& nv() const { return nv_; }
  // Both images at once, as a factory or a loaded file sets them.
  void load(const Image& image) { ram_ = nv_ = image; }

  // False when the block leaves the memory.
  static bool in_range(std::uint16_t address, std::size_t length) {
    return std::size_t{address} + length <= kMemorySize;
  }

  Bytes read(std::uint16_t address, std::size_t length) const;
  // Writes RAM. A single byte 01 at the first byte of a statistic counter is
  // the erase command for that counter and clears all three of its bytes.
  void write(std::uint16_t address, const Bytes& data);
  // Sets bytes in both images as they stand, as the factory programs them.
  void poke(std::uint16_t address, const Bytes& data);
  // Adds to counter index (0..19) in RAM and NV alike: the device keeps its
  // own counts whatever the host has written and not stored. Stops at the
  // largest 24-bit value instead of wrapping to a small count.
  void add_to_counter(int index, std::uint32_t amount);
  void store() { nv_ = ram_; }
  void reload() { ram_ = nv_; }

  // The four access masks as they stand in RAM: factory read, factory
  // write, PIN read, PIN write.
  std::array<std::uint8_t, 4> masks() const;
  void set_masks(const std::array<std::uint8_t, 4>& masks);

 private:
  Image ram_;
  Image nv_;
};

}  // namespace qv82::sim
