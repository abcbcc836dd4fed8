#include "stats/statistics.h"

#include <gtest/gtest.h>

#include "config/working_images.h"
#include "support/biff_reader.h"
#include "support/selector_bench.h"

namespace qv82::test {
namespace {

constexpr const char* kIni =
    "[SUPPORTED TYPES]\nQV82=\n"
    "[Statistic options]\nNot used=FF\nCoins accepted=01\nCoins rejected=02\nBad code=0a\n";

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
  EXPECT_EQ(page.values[0], 258u);
  EXPECT_EQ(page.values[1], 16777215u);
  EXPECT_EQ(page.option_name(1), "Coins accepted");
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
  EXPECT_EQ(page.values[4], 0u);  // re-read after the store
  EXPECT_EQ(page.values[1], 0x050505u);

  // Nothing changed: the second Write erases nothing.
  device().memory().poke(0x0830, Bytes(60, 0x07));
  ASSERT_TRUE(page.write());
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(counter(i), Bytes(3, 7)) << i;
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
  EXPECT_EQ(ui.questions(), std::vector<std::string>{"Erase all statistic counters?"});
  EXPECT_EQ(counter(20), Bytes(3, 0x11));

  ui.clear();
  ui.answers = {Answer::Ok};
  EXPECT_TRUE(page.erase_all());
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(counter(i), Bytes(3, 0)) << i;
  // Said once, after the store: the read-back may still fail before it.
  EXPECT_EQ(ui.informations(), std::vector<std::string>{"Operation finished"});
  EXPECT_EQ(ui.wait_cursor_depth, 0);
}

TEST_F(StatisticsTest, EraseAllWithTheDeviceGoneTriesAllAndSaysSoOnce) {
  device().config().address = 9;
  ui.answers = {Answer::Ok};
  const std::uint64_t start = setup.clock().now_ms();
  EXPECT_FALSE(page.erase_all());
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"Error erase statistic "});
  EXPECT_TRUE(ui.informations().empty());
  // Each of the 20 writes waited out its 10 polls.
  EXPECT_GE(setup.clock().now_ms() - start, 20u * 100u);
  EXPECT_EQ(ui.wait_cursor_depth, 0);
}

TEST_F(StatisticsTest, ExportWritesDeviceDataAndThePage) {
  device().memory().poke(0x081A, {0x01});
  device().memory().poke(0x0830, {0x01, 0x11, 0x70});  // 70000
  ASSERT_TRUE(page.read());
  ui.save_files = {dir.file("stats")};
  ASSERT_TRUE(page.export_xls());
  EXPECT_EQ(ui.file_filters.back(), "XLS files|*.xls");
  auto cells = biff_cell_texts(dir.file("stats.xls"));
  EXPECT_EQ(cells["B1"], "QV82");
  EXPECT_EQ(cells["B2"], "1234567");
  EXPECT_EQ(cells["B4"], "06/12/2026");
  EXPECT_EQ(cells["B8"], "Coins accepted");
  EXPECT_EQ(cells["C8"], "4464");  // low 16 bits of 70000

  // A file that cannot be written is reported, not taken for saved.
  ui.save_files = {dir.file("missing/folder/x.xls")};
  EXPECT_FALSE(page.export_xls());
  ASSERT_EQ(ui.errors().size(), 1u);
  EXPECT_NE(ui.errors()[0].find("x.xls"), std::string::npos);
}

}  // namespace
}  // namespace qv82::test
