#include "sim/memory.h"

#include <algorithm>
#include <stdexcept>

namespace qv82::sim {

std::uint8_t area_of(std::uint16_t address) {
  struct Area {
    std::uint16_t first;
    std::uint16_t last;
    std::uint8_t bit;
  };
  static constexpr Area kAreas[] = {
      {0x0570, 0x076F, 0x01}, {0x0770, 0x07AF, 0x02}, {0x07B0, 0x07EF, 0x04},
      {0x07F0, 0x0815, 0x08}, {0x0816, 0x082F, 0x10}, {0x0830, 0x086F, 0x20},
  };
  for (const Area& area : kAreas) {
    if (address >= area.first && address <= area.last) return area.bit;
  }
  return 0;
}

Bytes Memory::read(std::uint16_t address, std::size_t length) const {
  const auto first = ram_.begin() + address;
  return Bytes(first, first + static_cast<std::ptrdiff_t>(length));
}

void Memory::write(std::uint16_t address, const Bytes& data) {
  const bool counter_start = address >= kCounterBase &&
                             address < kCounterBase + 3 * kCounterCount &&
                             (address - kCounterBase) % 3 == 0;
  if (counter_start && data.size() == 1 && data[0] == 0x01) {
    std::fill_n(ram_.begin() + address, 3, std::uint8_t{0});
    return;
  }
  std::copy(data.begin(), data.end(), ram_.begin() + address);
}

void Memory::poke(std::uint16_t address, const Bytes& data) {
  if (!in_range(address, data.size())) throw std::out_of_range("poke beyond the memory");
  std::copy(data.begin(), data.end(), ram_.begin() + address);
  std::copy(data.begin(), data.end(), nv_.begin() + address);
}

void Memory::add_to_counter(int index, std::uint32_t amount) {
  if (index < 0 || index >= kCounterCount) return;
  const std::size_t at = kCounterBase + 3 * static_cast<std::size_t>(index);
  for (Image* image : {&ram_, &nv_}) {
    Image& bytes = *image;
    const std::uint32_t now =
        std::uint32_t{bytes[at]} << 16 | std::uint32_t{bytes[at + 1]} << 8 | bytes[at + 2];
    const std::uint32_t sum = std::min<std::uint32_t>(now + std::min(amount, 0xFFFFFFu), 0xFFFFFF);
    bytes[at] = static_cast<std::uint8_t>(sum >> 16);
    bytes[at + 1] = static_cast<std::uint8_t>(sum >> 8);
    bytes[at + 2] = static_cast<std::uint8_t>(sum);
  }
}

std::array<std::uint8_t, 4> Memory::masks() const {
  return {ram_[kMaskAddress], ram_[kMaskAddress + 1], ram_[kMaskAddress + 2],
          ram_[kMaskAddress + 3]};
}

void Memory::set_masks(const std::array<std::uint8_t, 4>& masks) {
  poke(kMaskAddress, Bytes(masks.begin(), masks.end()));
}

}  // namespace qv82::sim
