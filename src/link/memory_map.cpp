#include "link/memory_map.h"

namespace qv82 {

std::uint8_t area_of_address(std::uint16_t address) {
  struct Range {
    std::uint16_t first;
    std::uint16_t last;
    std::uint8_t area;
  };
  static constexpr Range kRanges[] = {
      {0x0570, 0x076F, kAreaChannels},
      {0x0770, 0x07AF, kAreaIoConfiguration},
      {0x07B0, 0x07EF, kAreaModes},
      {0x07F0, 0x0815, kAreaCommonParameters},
      {0x0816, 0x082F, kAreaStatisticOptions},
      {0x0830, 0x086F, kAreaStatisticCounters},
  };
  for (const Range& range : kRanges) {
    if (address >= range.first && address <= range.last) return range.area;
  }
  return kAreaNone;
}

}  // namespace qv82
