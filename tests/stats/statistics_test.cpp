#include "stats/statistics.h"

#include <gtest/gtest.h>

#include "config/working_images.h"
#include "stats/statistic_bars.h"
#include "support/selector_bench.h"

namespace qv82::test {
namespace {

constexpr const char* kIni =
    "[SUPPORTED TYPES]\nQV82=\n"
    "[Statistic options]\nNot used=FF\nCoins accepted=01\nCoins rejected=02\nBad code=0a\n"
    "Spare=\nUnused too=ff\n";

struct StatisticsTest : ::testing::Test, SelectorBench {
  StatisticsTest() : SelectorBench({}, kIni) {
    page.load_option_names();
    page.short_date = [] { return std::string("06/12/2026"); };
    EXPECT_TRUE(selector.identify_device());
    ui.clear();
  }

  Bytes counter(int i) { return device().memory().read(0x0830 + 3 * (i - 1), 3); }

  WorkingImages images;
  StatisticsPage page{link, selector, images, settings, ui};
};

TEST_F(StatisticsTest, ReadShowsOptionNamesAndCounters) {
  device().memory().poke(0x081A, {0x01, 0x02, 0x0A, 0x37, 0xFF});
  device().memory().poke(0x0830, {0x00, 0x01, 0x02, 0xFF, 0xFF, 0xFF});
  images.item_baseline[kStatOptionsAddress + 1] = "02";  // as a file lacking row 2 left it
  ASSERT_TRUE(page.read());
  // Read from the device, every option goes into the next save or download.
  EXPECT_FALSE(images.item_baseline.contains(kStatOptionsAddress + 1));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(page.option_name(2), "Coins rejected");
  EXPECT_EQ(page.option_name(3), "Not used");  // "0a" never matches the device's "0A"
  EXPECT_EQ(images.loaded_sections & kSectionStatistics, kSectionStatistics);
}

TEST_F(StatisticsTest, WriteErasesExactlyTheCountersWhoseOptionChanged) {
  Bytes options(20, 0xFF);
  options[0] = 0x37;  // unknown code in row 1
  device().memory().poke(0x081A, options);
  device().memory().poke(0x0830, Bytes(60, 0x05));
  ASSERT_TRUE(page.read());
  page.select_option(5, "Coins rejected");

  ASSERT_TRUE(page.write());
  EXPECT_EQ(ui.errors(), std::vector<std::string>{});
  EXPECT_EQ(ui.informations(), std::vector<std::string>{"Operation finished"});
  // Row 1 goes back as the first name's code, so its counter is erased too.
  EXPECT_EQ(device().memory().nv()[0x081A], 0xFF);
  EXPECT_EQ(device().memory().nv()[0x081A + 4], 0x02);
  EXPECT_EQ(counter(1), Bytes(3, 0));
  EXPECT_EQ(counter(5), Bytes(3, 0));
  EXPECT_EQ(counter(2), Bytes(3, 5));
}

TEST_F(StatisticsTest, FailedWriteStillErasesTheChangedCounterNextTime) {
  device().memory().poke(0x081A, Bytes(20, 0xFF));
  ASSERT_TRUE(page.read());
  device().memory().poke(0x0830 + 6, {0, 0, 9});
  page.select_option(3, "Coins accepted");
  device().faults().nak.push_back(sim::nak_next_request());
  EXPECT_FALSE(page.write());
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"Error writing statistic settings"});

  ui.clear();
  ASSERT_TRUE(page.write());
  EXPECT_EQ(counter(3), Bytes(3, 0));
}

TEST_F(StatisticsTest, EraseAllClearsEveryCounterAfterOk) {
  device().memory().poke(0x0830, Bytes(60, 0x11));
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(page.erase_all());
  EXPECT_EQ(counter(20), Bytes(3, 0x11));

  ui.answers = {Answer::Ok};
  EXPECT_TRUE(page.erase_all());
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(counter(i), Bytes(3, 0)) << i;
  // Said once, after the store: the read-back may still fail before it.
  EXPECT_EQ(ui.informations(), std::vector<std::string>{"Operation finished"});
  EXPECT_EQ(ui.wait_cursor_depth, 0);

  // With the device gone every write is tried, the failure is said once and never as done.
  device().config().address = 9;
  ui.clear();
  ui.answers = {Answer::Ok};
  EXPECT_FALSE(page.erase_all());
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"Error erase statistic "});
  EXPECT_TRUE(ui.informations().empty());
  EXPECT_EQ(ui.wait_cursor_depth, 0);
}

// The sheet's cells are checked by the window test and the sheet's own test.
TEST_F(StatisticsTest, ExportToAFileThatCannotBeWrittenIsReported) {
  ASSERT_TRUE(page.read());
  ui.save_files = {dir.file("missing/folder/x.xls")};
  EXPECT_FALSE(page.export_xls());
  ASSERT_EQ(ui.errors().size(), 1u);
  EXPECT_NE(ui.errors()[0].find("x.xls"), std::string::npos);
}

// One bar per row whose option counts something, named after it; a name shown twice
// carries its row number.
TEST_F(StatisticsTest, RowsInUseBecomeBarsLabelledWithTheirOptions) {
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
