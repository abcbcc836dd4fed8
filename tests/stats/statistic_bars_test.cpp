#include "stats/statistic_bars.h"

#include <gtest/gtest.h>

#include "config/working_images.h"
#include "stats/statistics.h"
#include "support/selector_bench.h"

namespace qv82::test {
namespace {

constexpr const char* kIni =
    "[SUPPORTED TYPES]\nQV82=\n"
    "[Statistic options]\nNot used=FF\nCoins accepted=01\nCoins rejected=02\nSpare=\n"
    "Unused too=ff\n";

struct StatisticBarsTest : ::testing::Test, SelectorBench {
  StatisticBarsTest() : SelectorBench({}, kIni) {
    page.load_option_names();
    EXPECT_TRUE(selector.identify_device());
  }

  WorkingImages images;
  StatisticsPage page{link, selector, images, settings, ui};
};

// One bar per row whose option counts something, named after it; a name shown twice
// carries its row number.
TEST_F(StatisticBarsTest, RowsInUseBecomeBarsLabelledWithTheirOptions) {
  Bytes options(20, 0xFF);
  options[0] = 0x01;
  options[2] = 0x02;
  options[3] = 0x01;
  options[4] = 0x37;  // no name has this code: shown as the first name, not used
  device().memory().poke(0x081A, options);
  Bytes counters(60, 0x00);
  counters[2] = 7;
  counters[6] = 0x01;  // row 3: 0x010000
  counters[11] = 3;
  counters[14] = 9;
  device().memory().poke(0x0830, counters);
  ASSERT_TRUE(page.read());
  page.select_option(6, "Spare");       // a name without a code writes FF
  page.select_option(7, "Unused too");  // FF in lower case

  const auto bars = statistic_bars(page);
  ASSERT_EQ(bars.size(), 3u);
  const std::tuple<int, std::string, std::uint32_t> expected[] = {{1, "Coins accepted (1.)", 7},
                                                                  {3, "Coins rejected", 0x010000},
                                                                  {4, "Coins accepted (4.)", 3}};
  for (std::size_t i = 0; i < bars.size(); ++i) {
    EXPECT_EQ(bars[i].row, std::get<0>(expected[i]));
    EXPECT_EQ(bars[i].label, std::get<1>(expected[i]));
    EXPECT_EQ(bars[i].value, std::get<2>(expected[i]));
  }
}

}  // namespace
}  // namespace qv82::test
