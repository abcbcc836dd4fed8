#include "stats/erasing.h"

#include <gtest/gtest.h>

#include "support/selector_bench.h"

namespace qv82::test {
namespace {

struct ErasingTest : ::testing::Test, SelectorBench {
  ErasingTest() {
    EXPECT_TRUE(selector.identify_device());
    device().memory().poke(0x0830, Bytes(60, 0x22));
    // The page shows uploaded records, not the blank ones it starts with.
    state.channel_buffer.fill(Bytes(32, 0x33));
    ui.clear();
  }

  Bytes nv(std::uint16_t address, std::size_t length) {
    const auto& image = device().memory().nv();
    return Bytes(image.begin() + address, image.begin() + address + length);
  }

  ChannelsPage page{state.channel_buffer};
  Erasing erasing{selector, page, ui};
};

TEST_F(ErasingTest, ErasesTheTickedChannelsAndCountersAndStores) {
  erasing.channels[1] = erasing.channels[4] = true;
  erasing.statistics[2] = true;
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(erasing.erase_selected());
  EXPECT_EQ(ui.informations(), std::vector<std::string>{"Operation finished"});
  EXPECT_EQ(nv(0x0590, 32), Bytes(32, 0xFF));
  EXPECT_EQ(nv(0x05F0, 32), Bytes(32, 0xFF));
  EXPECT_NE(nv(0x0570, 32), Bytes(32, 0xFF));  // channel 1 untouched
  EXPECT_EQ(nv(0x0836, 3), Bytes(3, 0));
  EXPECT_EQ(nv(0x0833, 3), Bytes(3, 0x22));
  EXPECT_EQ(page.status_high_bits[1] & 0x80, 0x80);
  EXPECT_EQ(state.channel_buffer[4], Bytes(32, 0xFF));
}

// A refused counter write after an erased channel: the unstored erase is dropped.
// No to the question erases nothing; with nothing ticked the store still runs.
TEST_F(ErasingTest, NoMeansNothingAndNothingTickedStillStores) {
  erasing.channels[0] = true;
  EXPECT_FALSE(erasing.erase_selected());  // the scripted person says No
  EXPECT_NE(device().memory().read(0x0570, 32), Bytes(32, 0xFF));

  erasing.channels[0] = false;
  device().memory().poke(0x0570, {0x42});
  device().memory().write(0x0570, {0x43});  // RAM only, until the store
  ui.clear();
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(erasing.erase_selected());
  EXPECT_EQ(ui.informations(), std::vector<std::string>{"Operation finished"});
  EXPECT_EQ(nv(0x0570, 1), Bytes{0x43});
}

TEST_F(ErasingTest, RefusedItemAfterADoneOneRestartsTheDevice) {
  erasing.channels[1] = erasing.statistics[0] = true;
  state.access_masks = {0xFF, kAreaChannels, 0xFF, kAreaChannels};
  ui.answers = {Answer::Yes};
  ui.passwords = {std::nullopt};
  EXPECT_FALSE(erasing.erase_selected());
  EXPECT_EQ(ui.errors(), std::vector<std::string>{
                             "1 of 2 items were written; none was stored.\n"
                             "The coin selector was restarted and runs its stored configuration "
                             "again."});
  EXPECT_NE(device().memory().read(0x0590, 32), Bytes(32, 0xFF));
}

}  // namespace
}  // namespace qv82::test
