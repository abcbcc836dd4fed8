#include "channels/coin_programming.h"

#include <gtest/gtest.h>

#include "support/selector_bench.h"

namespace qv82::test {
namespace {

constexpr const char* kIni =
    "[SUPPORTED TYPES]\nQV82=\n"
    "[COIN PROG]\nMIN_INSERTION=03\n"
    "[COINPROG]\nPar1_ADD=2\nPar3_ADD=-1\n";

// Coin programming on a simulated bench in virtual time; the test drives the 150 ms tick.
struct CoinProgrammingTest : ::testing::Test, SelectorBench {
  CoinProgrammingTest() : SelectorBench({}, kIni) {}

  void tick() {
    ASSERT_TRUE(prog.tick_running());
    setup.advance_ms(kCoinProgrammingTickMs);
    prog.on_sample_tick();
  }
  void insert_and_tick(const sim::Measurement& m) {
    device().insert_measurement(m);
    tick();
  }
  void open() {
    ASSERT_TRUE(prog.prepare());
    prog.on_open();
    ui.clear();
  }
  Bytes nv_channel(int n) {
    const auto& nv = setup.device().memory().nv();
    const std::size_t at = 0x0570 + 32 * (n - 1);
    return Bytes(nv.begin() + at, nv.begin() + at + 32);
  }

  ChannelsPage page{state.channel_buffer};
  CoinProgramming prog{link, selector, page, settings, ui};
};

sim::Measurement all(std::uint8_t v) {
  sim::Measurement m;
  m.fill(v);
  return m;
}

TEST_F(CoinProgrammingTest, OpensUnderMasterInhibitOnChannelOneAndSamples) {
  open();
  EXPECT_TRUE(device().master_inhibit_active());
  // Channel 1 of the factory image is programmed: shown exactly as stored.
  EXPECT_EQ(prog.view, StrToChannel(device().memory().read(0x0570, 32)).view);

  tick();  // nothing inserted: no line
  EXPECT_TRUE(prog.samples.empty());

  // Two insertions between two ticks make one line: the counter is compared, not counted.
  device().insert_measurement(all(90));
  device().insert_measurement(all(100));
  tick();
  ASSERT_EQ(prog.lines().size(), 1u);
  EXPECT_EQ(prog.lines()[0].substr(0, 8), "100 100 ");
  EXPECT_FALSE(prog.enough_samples());
  // One sample: tolerances are the margins (low 8 bits of -1 is 255).
  EXPECT_EQ(prog.view.tolerances[0], 2);
  EXPECT_EQ(prog.view.tolerances[2], 255);

  insert_and_tick(all(102));
  EXPECT_FALSE(prog.enough_samples());
  insert_and_tick(all(104));
  EXPECT_TRUE(prog.enough_samples());  // the third line turns the list green
  EXPECT_EQ(prog.view.parameters[0], 102);
  EXPECT_EQ(prog.view.tolerances[0], 4 + 2);
  EXPECT_EQ(prog.view.tolerances[2], 3);
}

TEST_F(CoinProgrammingTest, DisabledChannelOpensPreparedForANewCoin) {
  open();
  prog.choose_channel(9);  // channels 7 ... 16 of the factory image are erased
  ChannelView fresh = StrToChannel(erased_channel_record()).view;  // CC, CVF and Mint as read
  fresh.cctalk = fresh.enabled = true;
  fresh.selective = fresh.fake = false;
  fresh.direction = fresh.value = 1;
  EXPECT_EQ(prog.view, fresh);
}

// The reply to the restart that ends the session is lost: the page keeps the coin the
// device now runs.
TEST_F(CoinProgrammingTest, SaveWritesTheChannelAndCloseStoresItInNonVolatileMemory) {
  const std::string store = "-> " + bytes_to_hex(build_frame(2, {0xFF, 0x03}));
  const std::string reset = "-> " + bytes_to_hex(build_frame(2, {0x01}));
  bool store_sent = false;
  link.add_log_line = [&](const std::string& line) {
    if (line == store) {
      store_sent = true;
    } else if (store_sent && line == reset) {
      device().faults().drop_next_reply_byte = true;
      store_sent = false;
    }
  };
  open();
  prog.choose_channel(16);
  for (std::uint8_t v : {100, 102, 104}) insert_and_tick(all(v));

  ui.answers = {Answer::Ok};
  prog.save_channel();
  EXPECT_TRUE(ui.errors().empty());
  EXPECT_EQ(prog.prog_channel, 16);  // the last channel does not move on
  const Bytes saved = state.channel_buffer[15];
  EXPECT_EQ(saved[0], 102);
  EXPECT_EQ(saved[13], 6);
  EXPECT_EQ(saved[26], 0x70);  // enabled, ccTalk on, status base 0111
  EXPECT_EQ(device().memory().read(0x0750, 32), saved);
  EXPECT_NE(nv_channel(16), saved);

  ui.clear();
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(prog.request_close());
  EXPECT_TRUE(ui.errors().empty()) << ui.errors().front();
  EXPECT_EQ(nv_channel(16), saved);
  EXPECT_EQ(state.channel_buffer[15], saved);
  EXPECT_FALSE(prog.tick_running());
  // Inhibit lifted, then the reset ends the session.
  const auto& requests = device().requests();
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(requests[requests.size() - 2][3], 0xE4);
  EXPECT_EQ(requests[requests.size() - 2][4], 0x01);
  EXPECT_EQ(requests.back()[3], 0x01);
}

TEST_F(CoinProgrammingTest, ChannelChangeWithUnsavedSamplesAsks) {
  open();
  insert_and_tick(all(100));
  ui.answers = {Answer::Cancel};
  prog.choose_channel(4);
  EXPECT_EQ(prog.prog_channel, 1);

  ui.answers = {Answer::No};
  prog.choose_channel(4);
  EXPECT_EQ(prog.prog_channel, 4);
  EXPECT_TRUE(prog.samples.empty());

  insert_and_tick(all(120));
  ui.answers = {Answer::Yes};
  prog.choose_channel(5);
  EXPECT_EQ(prog.prog_channel, 5);
  EXPECT_EQ(device().memory().read(0x05D0, 1), Bytes{120});
}

TEST_F(CoinProgrammingTest, MinInsertionIsHexadecimalAndBadSettingsAreReportedWhileSampling) {
  dir.write("qv82hs.ini", "[SUPPORTED TYPES]\nQV82=\n[COIN PROG]\nMIN_INSERTION=10\n");
  open();
  EXPECT_EQ(prog.min_insertions, 16u);
  dir.write("qv82hs.ini",
            "[SUPPORTED TYPES]\nQV82=\n[COIN PROG]\nMIN_INSERTION=1G\n"
            "[COINPROG]\nPar2_ADD=ten\n");
  ASSERT_TRUE(prog.prepare());
  prog.on_open();
  ASSERT_EQ(ui.errors().size(), 1u);
  EXPECT_NE(ui.errors()[0].find("MIN_INSERTION"), std::string::npos);
  EXPECT_EQ(prog.min_insertions, 15u);  // the green list waits for the default
  ui.clear();
  insert_and_tick(all(100));
  EXPECT_EQ(prog.samples.size(), 1u);
  ASSERT_EQ(ui.errors().size(), 1u);
  EXPECT_NE(ui.errors()[0].find("Par2_ADD"), std::string::npos);
  EXPECT_TRUE(prog.tick_running());
}

// The session is backed up once, all 16 channels, before its first write; the store at Close
// reads every save back.
TEST_F(CoinProgrammingTest, SavesAreBackedUpFirstAndReadBackBeforeTheStore) {
  std::vector<std::uint16_t> backed_up;
  selector.back_up = [&backed_up](const std::vector<MemoryBlock>& blocks) {
    for (const MemoryBlock& block : blocks) backed_up.push_back(block.address);
    return std::optional<std::string>();
  };
  open();
  const Bytes stored_15 = nv_channel(15);
  const Bytes stored_16 = nv_channel(16);
  for (const int channel : {15, 16}) {
    prog.choose_channel(channel);
    insert_and_tick(all(100));
    ui.answers = {Answer::Ok};
    prog.save_channel();
  }
  ASSERT_EQ(backed_up.size(), 16u);
  EXPECT_EQ(backed_up.front(), 0x0570);
  EXPECT_EQ(backed_up.back(), 0x0750);
  // Channel 16's record went in with its first byte one bit off.
  Bytes held = device().memory().read(0x0750, 32);
  held[0] ^= 0x01;
  device().memory().write(0x0750, held);
  ui.clear();
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(prog.request_close());
  ASSERT_EQ(ui.errors().size(), 1u);
  EXPECT_EQ(ui.errors()[0].rfind("Verify failed: Channel 16 (0x0750): wrote ", 0), 0u);
  // Neither save was stored (the insertions' counts were, as they happened).
  EXPECT_EQ(nv_channel(15), stored_15);
  EXPECT_EQ(nv_channel(16), stored_16);

  // A backup that cannot be made keeps the channel from being written.
  selector.back_up = [](const std::vector<MemoryBlock>&) {
    return std::optional<std::string>("no room for the backup");
  };
  open();
  insert_and_tick(all(90));
  ui.answers = {Answer::Ok};
  const Bytes before = device().memory().read(0x0570, 32);
  prog.save_channel();
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"no room for the backup"});
  EXPECT_EQ(device().memory().read(0x0570, 32), before);
}

// Channel 3's write, asked for on Close, reaches the device but its reply is lost: the window
// stays open; channel 4 saves. The page keeps channel 3 as it was, and the store at Close does
// not take the lost write with it.
TEST_F(CoinProgrammingTest, AFailedSaveIsNeitherShownNorStored) {
  bool first_write = true;
  selector.back_up = [&](const std::vector<MemoryBlock>&) {
    device().faults().drop_next_reply_byte = first_write;
    first_write = false;
    return std::optional<std::string>();
  };
  open();
  const Bytes old_3 = nv_channel(3);
  prog.choose_channel(3);
  insert_and_tick(all(100));
  ui.answers = {Answer::Yes};  // save channel 3 on Close
  EXPECT_FALSE(prog.request_close());
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"Error write channel"});
  EXPECT_TRUE(prog.tick_running());
  EXPECT_EQ(device().memory().read(0x05B0, 1), Bytes{100}) << "the write reached the device";
  EXPECT_EQ(state.channel_buffer[2], old_3);

  ui.clear();
  ui.answers = {Answer::No, Answer::Ok, Answer::Yes};  // channel 3's samples dropped; save; store
  prog.choose_channel(4);
  insert_and_tick(all(110));
  prog.save_channel();
  EXPECT_TRUE(prog.request_close());
  EXPECT_TRUE(ui.errors().empty()) << ui.errors().front();
  EXPECT_EQ(nv_channel(3), old_3);
  EXPECT_EQ(nv_channel(4)[0], 110);
  EXPECT_EQ(state.channel_buffer[2], old_3);
  EXPECT_EQ(state.channel_buffer[3], nv_channel(4));
}

}  // namespace
}  // namespace qv82::test
