// The production test: limit checks and gauges, and whole runs against the
// simulated device with the installed Production.ini, in virtual time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "device/coin_selector.h"
#include "diagnostics/analogue_gauges.h"
#include "diagnostics/csv.h"
#include "diagnostics/production_record.h"
#include "diagnostics/production_test.h"
#include "files/ini_file.h"
#include "lang/language.h"
#include "link/errors.h"
#include "support/fake_ui.h"
#include "support/sim_fixture.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace qv82 {
namespace {

TEST(ProductionChecks, SwitchesOptosAndAverages) {
  EXPECT_TRUE(dip_switches_match(0xC5, 0x05)) << "the two input bits are no switches";
  EXPECT_FALSE(dip_switches_match(0x04, 0x05));
  EXPECT_EQ(check_opto(0x2C, 0x38), "Opto sensor error, FT3, FT5 2C");
  EXPECT_FALSE(check_opto(0x5A, 0x5A));
  // Halves round to even.
  EXPECT_EQ(average_of_four(10 + 11 + 10 + 11), 10);
  EXPECT_EQ(average_of_four(11 + 11 + 12 + 12), 12);
  EXPECT_EQ(average_of_four(10 + 11 + 11 + 11), 11);
}

TEST(ProductionChecks, LimitsAreInclusiveAndTheValueIsShownAsItsHexDigits) {
  ProductionLimits limits;
  limits.regulator1_duty = {0x0180, 0x0280};
  limits.regulator2_duty = {0x0280, 0x0380};
  for (Range* r : {&limits.am1, &limits.ph1, &limits.am2, &limits.ph2, &limits.pi3, &limits.vcc,
                   &limits.temperature}) {
    *r = {0x10, 0x80};
  }
  const Bytes good = {0x02, 0x80, 0x02, 0x80, 0x10, 0x80, 0x20, 0x20, 0x20, 0x20, 0x20};
  EXPECT_FALSE(check_measurements({good}, limits)) << "MIN and MAX themselves pass";
  const std::tuple<std::size_t, std::uint8_t, const char*> cases[] = {
      {1, 0x81, "Regulator 1 duty error, value = 0281"},
      {2, 0x04, "Regulator 2 duty error, value = 0480"},
      {4, 0x0F, "AM1 error, value = 0F"},
      {6, 0x00, "AM2 error, value = 00"},
      {10, 0x81, "Temp error, value = 81"},
  };
  for (const auto& [index, value, error] : cases) {
    Measurements values{good};
    values.data[index] = value;
    EXPECT_EQ(check_measurements(values, limits).value_or(""), error);
  }
}

class ProductionTestRun : public test::SimFixture {
 protected:
  ProductionTestRun()
      : settings(dir + "/qv82hs.ini"),
        limits_file(dir + "/Production.ini"),
        selector(link, state, ui, settings),
        production(link, selector, limits_file) {
    test::copy_data_files(dir, {"Production.ini"});
    std::ofstream(settings.path()) << "[SUPPORTED TYPES]\nQV82=\n";
    state.access_masks = {0xFF, 0xFF, 0xFF, 0xFF};
    production.on_open();
  }

  sim::Device& dev() { return setup.device(); }
  sim::VirtualClock& clock() { return dynamic_cast<sim::VirtualClock&>(setup.clock()); }

  test::TempDir temp;
  std::string dir = temp.path();
  test::FakeUi ui;
  DeviceState state;
  IniFile settings;
  IniFile limits_file;
  CoinSelector selector;
  ProductionTest production;
};

TEST_F(ProductionTestRun, HealthyDevicePassesAndIsCalibrated) {
  dev().config().analogue.noise = 1;
  dev().memory().poke(kOutputTestAddress, {1, 2, 3, 4, 5, 6, 7, 8});

  EXPECT_TRUE(production.start_single());
  EXPECT_TRUE(ui.errors().empty()) << ui.errors().front();
  EXPECT_EQ(production.view.label, "Test OK, change device");
  EXPECT_EQ(production.view.panel, PanelColour::Green);

  // The averaged readings are stored, and the output 7 record is as before.
  const auto& nv = dev().memory().nv();
  EXPECT_NEAR(nv[kCalibrationPhAddress], 120, 1);
  EXPECT_NEAR(nv[kCalibrationPhAddress + 1], 130, 1);
  EXPECT_NEAR(nv[kCalibrationPiAddress], 90, 1);
  EXPECT_EQ(dev().memory().read(kOutputTestAddress, 8), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(dev().solenoid_pulses(), 1);
  EXPECT_TRUE(production.view.results.empty()) << "Start clears the list at its end";
}

// Output 7's record is backed up as the unit had it, before the test record goes in; the
// calibration is backed up, then read back before the store: a byte the device kept wrong
// fails the unit by name and stores nothing.
TEST_F(ProductionTestRun, CalibrationIsBackedUpAndReadBackBeforeTheStore) {
  const Bytes original = {1, 2, 3, 4, 5, 6, 7, 8};
  dev().memory().poke(kOutputTestAddress, original);
  std::vector<std::uint16_t> backed_up;
  Bytes output7_backup;
  selector.back_up = [&](const std::vector<MemoryBlock>& blocks) {
    for (const MemoryBlock& block : blocks) backed_up.push_back(block.address);
    if (output7_backup.empty()) output7_backup = dev().memory().read(kOutputTestAddress, 8);
    // The calibration's writes, not output 7's, go in one bit off.
    dev().faults().flip_written_bit = blocks.front().address == kCalibrationPhAddress;
    return std::optional<std::string>();
  };
  EXPECT_FALSE(production.start_single());
  EXPECT_EQ(backed_up, (std::vector<std::uint16_t>{kOutputTestAddress, kCalibrationPhAddress,
                                                   kCalibrationPiAddress}));
  EXPECT_EQ(output7_backup, original);
  ASSERT_EQ(ui.errors().size(), 1u);
  const std::string prefix = "Verify failed: Channel 16 (0x0751): wrote ";
  EXPECT_EQ(ui.errors()[0].rfind(prefix, 0), 0u) << ui.errors()[0];
  EXPECT_EQ(production.view.label, "ERROR!!! Change device");
  EXPECT_EQ(dev().memory().nv()[kCalibrationPiAddress], 0xFF) << "no calibration";
}

// The calibration's second write is refused: the first is dropped with a restart, so neither
// this unit runs half a calibration nor the next unit's store reads it back.
TEST_F(ProductionTestRun, AHalfWrittenCalibrationDoesNotReachTheNextUnit) {
  dev().faults().nak = {{.prefix = {0xFF, 0x03, 0x07, 0x59}}};
  EXPECT_FALSE(production.start_single());
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"Communication error"});
  EXPECT_EQ(dev().memory().read(kCalibrationPhAddress, 2),
            Bytes(dev().memory().nv().begin() + kCalibrationPhAddress,
                  dev().memory().nv().begin() + kCalibrationPhAddress + 2));

  // The next unit, never calibrated.
  dev().faults().nak.clear();
  dev().memory().poke(kCalibrationPhAddress, {0xFF, 0xFF});
  ui.clear();
  EXPECT_TRUE(production.start_single());
  EXPECT_TRUE(ui.errors().empty()) << ui.errors().front();
}

TEST_F(ProductionTestRun, AUnitThatDoesNotIdentifyItselfIsNotRecordedUnderTheUnitBefore) {
  ProductionRecord record(dir + "/production_log.csv");
  production.record = &record;
  ASSERT_TRUE(production.start_single());
  dev().config().manufacturer = "Other";
  production.start_single();
  const CsvTable table = parse_csv(test::file_text(record.path()));
  ASSERT_EQ(table.records.size(), 3u);
  EXPECT_EQ(table.records[1][2], "1234567");
  EXPECT_EQ(table.records[2][2], "");
}

TEST_F(ProductionTestRun, EachFaultStopsTheTestWithItsMessage) {
  struct Case {
    const char* message;
    std::function<void(sim::Device&)> break_it;
  } cases[] = {
      {"QV83 is not supported", [](sim::Device& d) { d.config().device_type = "QV83"; }},
      {" is not supported",
       [](sim::Device& d) {
         d.faults().nak = {{.prefix = {0xFF, 0x08}}};
       }},
      // The third of the four averaged readings is refused.
      {"Communication error",
       [](sim::Device& d) {
         d.faults().nak = {{.prefix = {0xFF, 0x04}, .after = 2}};
       }},
      {"DIP SW1 error", [](sim::Device& d) { d.config().inputs.sw1 = 0x07; }},
      {"DIP SW2 error", [](sim::Device& d) { d.config().inputs.sw2 = 0x01; }},
      {"Opto sensor error, FT3 04", [](sim::Device& d) { d.config().inputs.opto = 0x04; }},
      {"Output line 7 error", [](sim::Device& d) { d.faults().stuck_output = 7; }},
      {"Regulator 2 duty error, value = 0381",
       [](sim::Device& d) { d.config().analogue.regulator2_duty = 0x0381; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    sim::SimulatedSetup bench;
    CcTalkLink bench_link(bench.line(), bench.clock());
    CoinSelector bench_selector(bench_link, state, ui, settings);
    ProductionTest test(bench_link, bench_selector, limits_file);
    test.on_open();
    bench.device().memory().poke(kOutputTestAddress, {9, 9, 9, 9, 9, 9, 9, 9});
    c.break_it(bench.device());
    ui.clear();

    EXPECT_FALSE(test.start_single());
    EXPECT_EQ(ui.errors(), std::vector<std::string>{c.message});
    EXPECT_EQ(test.view.panel, PanelColour::Red);
    EXPECT_EQ(test.view.label, "ERROR!!! Change device");
    EXPECT_EQ(bench.device().memory().nv()[kCalibrationPiAddress], 0xFF) << "no calibration";
    EXPECT_EQ(bench.device().memory().nv()[kOutputTestAddress], 9) << "record put back";
  }
}

// A bench in Croatian: the record names the failed step as every bench
// does (reports count steps across benches), and keeps the message's
// letters as they are.
TEST_F(ProductionTestRun, TheRecordNamesTheStepInEnglishAndKeepsTheMessagesLetters) {
  const ScopedLanguage croatian(kCroatianBase);
  ProductionRecord record{dir + "/units.csv", [] { return std::string("2026-12-08T10:00:00Z"); }};
  production.record = &record;
  dev().config().analogue.ph1 = 0x8D;
  EXPECT_FALSE(production.start_single());
  ASSERT_NE(production.last_error.find("greška"), std::string::npos) << production.last_error;
  const std::string text = test::file_text(dir + "/units.csv");
  EXPECT_NE(text.find(",FAIL,Analogue test,\"" + production.last_error + "\","), std::string::npos)
      << text;
}

// Only silence ends the insertion test: a device that refuses the inhibit
// change is still polled for its coins.
// The loop at the bench: a failed unit stays shown for five seconds, a good one lists its coins
// until it is taken away.
TEST_F(ProductionTestRun, LoopWaitsForRemovalAfterAFailureAndListsInsertions) {
  production.choose_mode(true);
  EXPECT_FALSE(production.view.start_enabled);

  // No device yet: the cycle ends and the timer runs again.
  dev().config().address = 40;
  production.on_loop_tick();
  EXPECT_EQ(production.view.label, "Wait for device");
  EXPECT_TRUE(production.timer_enabled);

  // A failing device is kept on the bench for five seconds.
  dev().config().address = 2;
  dev().config().inputs.sw1 = 0x01;
  const std::uint64_t placed = link.pump.now_ms();
  clock().on_wait = [&] {
    if (link.pump.now_ms() > placed + 5000) dev().config().address = 40;
  };
  production.on_loop_tick();
  EXPECT_GE(link.pump.now_ms(), placed + 5000);
  EXPECT_EQ(production.view.label, "ERROR!!! Change device");
  EXPECT_TRUE(production.timer_enabled);

  // A good device: coins are listed until it is taken away.
  dev().config().inputs.sw1 = 0x05;
  dev().config().address = 2;
  const std::uint64_t good = link.pump.now_ms();
  std::vector<std::string> seen;
  bool inserted = false;
  clock().on_wait = [&] {
    if (production.view.label == "Insertion test" && !inserted &&
        link.pump.now_ms() > good + 3000) {
      inserted = true;
      dev().insert(1);
      dev().insert(8);  // a foreign coin
    }
    if (production.view.results.size() > seen.size()) seen = production.view.results;
    if (link.pump.now_ms() > good + 8000) dev().config().address = 40;
  };
  production.on_loop_tick();
  EXPECT_EQ(production.view.label, "Test OK, change device");
  EXPECT_EQ(seen, (std::vector<std::string>{"Rejected"}))
      << "one line for each change of the counter, worded from the newest event";
  EXPECT_EQ(production.passed, 1);
  EXPECT_EQ(production.failed, 1);

  production.on_close();
  EXPECT_FALSE(production.timer_enabled);
  EXPECT_EQ(production.view.label, "Wait a moment please");
}

TEST_F(ProductionTestRun, RefusedCommandsDoNotEndTheInsertionTest) {
  dev().faults().nak = {{.prefix = {0xE7}}};
  ASSERT_TRUE(production.start_single());
  std::size_t enables = 0;
  for (const Bytes& frame : dev().requests()) enables += frame.size() > 4 && frame[3] == 0xE4;
  EXPECT_EQ(enables, 1u);
  EXPECT_EQ(production.view.label, "Test OK, change device");
}

TEST_F(ProductionTestRun, ABadLimitFailsTheProductCodeTestAndIsNamed) {
  std::ofstream(limits_file.path()) << "[QV82]\nSW1=5G\n";
  production.on_open();
  EXPECT_FALSE(production.start_single());
  ASSERT_EQ(ui.errors().size(), 1u);
  EXPECT_NE(ui.errors()[0].find("5G"), std::string::npos) << ui.errors()[0];
}

// PH1, the fourth gauge, against its limits at the edges and beyond the reach; the window
// test shows the labels and a reading in the middle.
TEST(AnalogueGauges, ReadingSitsBetweenItsLimitsAndOutsideShowsAtTheEdge) {
  struct Case {
    std::uint8_t value;
    unsigned min, max;
    double position;
    bool inside;
  } cases[] = {
      {0x64, 0x64, 0x8C, 0.0, true},
      {0x63, 0x64, 0x8C, -0.025, false},
      {0xFF, 0x64, 0x8C, 1 + kGaugeReach, false},
      {0x70, 0x70, 0x70, 0.5, true},
      {0x71, 0x70, 0x70, 1 + kGaugeReach, false},
      {0x6F, 0x70, 0x70, -kGaugeReach, false},
  };
  for (const Case& c : cases) {
    ProductionLimits limits;
    limits.ph1 = {c.min, c.max};
    const auto gauges =
        analogue_gauges({0x02, 0x00, 0x03, 0x00, 100, c.value, 110, 130, 90, 75, 25}, limits);
    ASSERT_EQ(gauges.size(), 9u);
    EXPECT_DOUBLE_EQ(gauges[3].position, c.position) << int{c.value};
    EXPECT_EQ(gauges[3].inside, c.inside) << int{c.value};
  }
}

}  // namespace
}  // namespace qv82
