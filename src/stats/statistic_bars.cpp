#include "stats/statistic_bars.h"

#include <algorithm>
#include <cctype>

#include "files/text.h"
#include "stats/statistics.h"

namespace qv82 {

namespace {

constexpr const char* kUnusedCode = "FF";

bool counts_something(const std::string& code) {
  return !code.empty() && upper_case(code) != kUnusedCode;
}

}  // namespace

std::vector<StatisticBar> statistic_bars(const StatisticsPage& page) {
  std::vector<StatisticBar> bars;
  for (int row = 1; row <= kStatisticRows; ++row) {
    if (!counts_something(page.option_code(row))) continue;
    bars.push_back({row, page.option_name(row), page.values[static_cast<std::size_t>(row - 1)]});
  }
  std::vector<std::string> names;
  for (const StatisticBar& bar : bars) names.push_back(bar.label);
  for (StatisticBar& bar : bars) {
    if (std::count(names.begin(), names.end(), bar.label) > 1) {
      bar.label += " (" + std::to_string(bar.row) + ".)";
    }
  }
  return bars;
}

}  // namespace qv82
