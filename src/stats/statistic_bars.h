#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv82 {

class StatisticsPage;

// One bar of the statistics chart: a row whose option counts something.
struct StatisticBar {
  int row = 0;  // 1 ... 20
  std::string label;
  std::uint32_t value = 0;
};

// The rows in use, in row order: every row whose option has a code other than FF, the code
// of a counter that counts nothing. Labelled with the option's name; a name that more than
// one row shows is followed by the row number, so each bar keeps a label of its own.
std::vector<StatisticBar> statistic_bars(const StatisticsPage& page);

}  // namespace qv82
