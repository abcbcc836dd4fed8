#include "config/working_images.h"

namespace qv82 {

namespace {

// Section bits by address; the access areas themselves are the device's
// table (area_of_address).
struct SectionRange {
  unsigned first;
  unsigned last;
  std::uint8_t section;
};

constexpr SectionRange kSections[] = {
    {0x0570, 0x076F, kSectionChannels},   {0x0770, 0x07AF, kSectionConfiguration},
    {0x07B0, 0x07EF, kSectionModes},      {0x07F0, 0x0815, kSectionConfiguration},
    {0x0816, 0x082F, kSectionStatistics}, {0x0830, 0x086F, kSectionStatistics},
};

struct CommonParameter {
  unsigned address;
  const char* key;
};

// param_image order, which is not address order.
constexpr CommonParameter kCommonParameters[kCommonParameterCount] = {
    {0x07F0, "Credit"},          {0x07F1, "Bonus1lev"},    {0x07F2, "Bonus1val"},
    {0x07F3, "Bonus2lev"},       {0x07F4, "Bonus2val"},    {0x07FA, "Bonus time"},
    {0x07FB, "Rest time"},       {0x07FC, "Stop time"},    {0x0800, "Time out warning"},
    {0x0801, "Time multiplyer"}, {0x07AA, "DIP sw mode"},  {0x07F7, "Mult val"},
    {0x0805, "Multiprice mode"}, {0x0808, "Display type"}, {0x0809, "Disp data"},
    {0x080A, "Disp options"},    {0x07FD, "Inhibit time"}, {0x080C, "sorter num"},
};

}  // namespace

std::uint8_t section_bit_for_address(unsigned address) {
  for (const auto& range : kSections) {
    if (address >= range.first && address <= range.last) return range.section;
  }
  return 0;
}

unsigned common_parameter_address(std::size_t k) {
  return k >= 1 && k <= kCommonParameterCount ? kCommonParameters[k - 1].address : 0;
}

const char* common_parameter_key(std::size_t k) {
  return k >= 1 && k <= kCommonParameterCount ? kCommonParameters[k - 1].key : "";
}

void WorkingImages::take_whole_sections(std::uint8_t sections) {
  std::erase_if(given_items, [sections](unsigned address) {
    return section_bit_for_address(address) & sections;
  });
  std::erase_if(item_baseline, [sections](const auto& entry) {
    return section_bit_for_address(entry.first) & sections;
  });
}

void WorkingImages::mark_edited(std::uint8_t section) {
  if (!(sourced_sections & section) && !(loaded_sections & section)) take_whole_sections(section);
  loaded_sections |= section;
}

}  // namespace qv82
