#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/held_items.h"

namespace qv82 {

// One item that two configurations hold differently.
struct ItemDifference {
  std::string caption;
  std::uint16_t address = 0;
  std::string first;   // hex, empty when the first does not hold the item
  std::string second;  // hex, empty when the second does not hold it
  // What changes in the page's words ("Val. 10 -> 20, Dir. 1 -> 2"), empty
  // where the program knows no meaning for the item.
  std::string words;
};

// The items either configuration holds that differ, in address order. The
// pages of the data folder (its io.ini and qv82hs.ini) give the words.
std::vector<ItemDifference> compare_items(const std::vector<HeldItem>& first,
                                          const std::vector<HeldItem>& second,
                                          const std::string& workdir);

// One line per difference, "Channel 3 (0x05B0): AA... -> BB...; Val. 10 -> 20",
// then the count, or "No differences".
std::vector<std::string> difference_lines(const std::vector<ItemDifference>& differences);

}  // namespace qv82
