// The coin selector test against the simulated device in virtual time, and
// the texts it shows.
#include <gtest/gtest.h>

#include "device/coin_selector.h"
#include "diagnostics/coin_selector_test.h"
#include "files/ini_file.h"
#include "support/fake_ui.h"
#include "support/sim_fixture.h"
#include "support/temp_dir.h"

namespace qv82 {
namespace {

// The eleven-byte layout the simulator sends is shown by the window and the command line.
TEST(CheckTexts, EightByteLayoutShowsItsValues) {
  const auto eight = analogue_texts(Bytes{123, 1, 2, 3, 4, 5, 75, 25});
  ASSERT_TRUE(eight);
  EXPECT_EQ(*eight, (std::array<std::string, 8>{"1230 mV", "10 mV", "20 mV", "30 mV", "40 mV",
                                                "50 mV", "12  V", "25 \u00B0C"}));
  EXPECT_FALSE(analogue_texts(Bytes(7, 0)));
  EXPECT_EQ(volt_text(79), "13  V") << "12.64 V rounds up";
}

TEST(CheckTexts, NewEventsAreCountedAcrossTheWrap) {
  struct Case {
    std::uint8_t last, counter;
    int n;
  } cases[] = {{0, 3, 3}, {7, 7, 0}, {10, 17, 7}, {254, 2, 3}, {255, 1, 1}, {5, 0, 250}};
  for (const Case& c : cases) {
    EXPECT_EQ(new_event_count(c.last, c.counter), c.n) << int(c.last) << " -> " << int(c.counter);
  }
}

class CheckTest : public test::SimFixture {
 protected:
  CheckTest()
      : settings(dir.file("qv82hs.ini")),
        selector(link, state, ui, settings),
        check(link, selector) {
    state.access_masks = {0xFF, 0xFF, 0xFF, 0xFF};
  }

  void open() {
    check.reset_device();
    check.on_open();
  }
  // Data bytes of the requests with the header, in order.
  std::vector<Bytes> sent(std::uint8_t header) {
    std::vector<Bytes> found;
    for (const Bytes& frame : setup.device().requests()) {
      if (frame[3] == header) found.emplace_back(frame.begin() + 4, frame.end() - 1);
    }
    return found;
  }
  sim::Device& dev() { return setup.device(); }

  test::TempDir dir;
  test::FakeUi ui;
  DeviceState state;
  IniFile settings;
  CoinSelector selector;
  CoinSelectorTest check;
};

// The window test lists coins as they come; here, more than the device's buffer holds.
TEST_F(CheckTest, InsertionTestListsEachCoinOnce) {
  open();
  check.set_insertion_test(true);
  dev().insert(4);  // channel 5
  check.on_tick();
  for (int i = 0; i < 7; ++i) dev().insert(0);
  check.on_tick();
  ASSERT_EQ(check.view.events, std::vector<std::string>{"Coin 5"})
      << "more than the buffer holds lists nothing";
  // but the count is taken anew: the next coin is listed alone.
  dev().insert(1);
  check.on_tick();
  EXPECT_EQ(check.view.events, (std::vector<std::string>{"Coin 5", "Coin 2"}));
  check.set_insertion_test(false);
  EXPECT_TRUE(check.view.events.empty());
}

TEST_F(CheckTest, NormalTickShowsSwitchesInputsOptosAndAnalogueValues) {
  dev().config().analogue.am1 = 123;
  dev().config().inputs = {0x05, 0x22, true, false, 0x13};
  open();
  check.on_tick();
  EXPECT_EQ(check.view.sw1, (std::array<bool, 6>{true, false, true, false, false, false}));
  EXPECT_EQ(check.view.sw2, (std::array<bool, 6>{false, true, false, false, false, true}));
  EXPECT_TRUE(check.view.input1 && !check.view.input2);
  EXPECT_EQ(check.view.opto, (std::array<bool, 5>{true, true, true, false, false}));
  EXPECT_EQ(check.view.analogue[0], "1230 mV");

  // An opto indicator stays lit; another model shows only SW1.
  dev().config().inputs.opto = 0x40;
  dev().config().device_type = "QV80";
  check.on_tick();
  EXPECT_EQ(check.view.opto, (std::array<bool, 5>{true, true, true, false, true}));
  EXPECT_FALSE(check.view.sw2_visible);
  for (const std::string& line : check_view_lines(check.view)) {
    EXPECT_EQ(line.find("SW2"), std::string::npos) << line;
  }
}

// The window test sees the loop pulse the motor and end; here, which outputs it walks.
TEST_F(CheckTest, OutputLoopLatchesEachOutputInTurn) {
  dev().memory().poke(0x0770, Bytes(64, 0x00));  // every I/O position an output
  dev().memory().poke(0x0770 + 8 * 2, {0x80});   // output 3 not used
  dev().memory().poke(0x0788, {0x01, 0x03});     // S3 present
  open();
  EXPECT_EQ(check.view.output_offered,
            (std::array<bool, 7>{true, true, false, true, true, true, true}));
  EXPECT_EQ(check.view.solenoid_offered, (std::array<bool, 4>{true, false, false, true}));

  const std::size_t latches_before = sent(0xE9).size();
  check.start_loop();
  for (int tick = 0; tick < 8; ++tick) check.on_tick();
  std::vector<Bytes> latches = sent(0xE9);
  latches.erase(latches.begin(), latches.begin() + static_cast<std::ptrdiff_t>(latches_before));
  EXPECT_EQ(latches, (std::vector<Bytes>{{1}, {2}, {4}, {8}, {16}, {32}, {64}, {128}}));
}

TEST_F(CheckTest, OutputsLatchOrPulseAndSolenoidsFireOneATick) {
  open();
  check.toggle_output(2);
  check.pulse_solenoid(1);
  check.pulse_solenoid(0);
  check.on_tick();
  EXPECT_EQ(dev().latched_outputs(), 0x02);
  EXPECT_EQ(dev().last_solenoids(), 0x01) << "M goes first";
  check.on_tick();
  EXPECT_EQ(dev().last_solenoids(), 0x02);

  check.choose_impulse();
  check.toggle_output(3);
  check.on_tick();
  EXPECT_EQ(dev().tested_outputs(), 0x06);
  check.on_impulse_end();
  EXPECT_EQ(check.view.output_on, (std::array<bool, 7>{}));
}

}  // namespace
}  // namespace qv82
