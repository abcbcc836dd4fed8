#include <gtest/gtest.h>

#include <tuple>

#include "rules/rules_fixture.h"

namespace qv82::test {
namespace {

TEST_F(RulesTest, BonusLevelsArePushedUpToCreditButNeverDown) {
  start();
  choose("Credit timer with sorter");
  ParameterControl& credit = page.parameter(1);
  ParameterControl& bonus1 = page.parameter(2);
  ParameterControl& bonus2 = page.parameter(4);
  credit.box.value = 5;
  bonus1.box.value = 3;
  bonus2.box.value = 10;
  rules.parameter_changed(4);
  EXPECT_EQ(bonus1.box.value, 5);
  EXPECT_EQ(bonus2.box.value, 10);
  credit.box.value = 2;
  rules.parameter_changed(1);
  EXPECT_EQ(bonus1.box.value, 5);
  EXPECT_EQ(bonus2.box.value, 10);
  bonus1.box.value = 12;  // above bonus 2: bonus 2 follows it
  rules.parameter_changed(2);
  EXPECT_EQ(bonus2.box.value, 12);
}

TEST_F(RulesTest, MultiplierChangeKeepsTheTimerSteps) {
  start();
  choose("Timer with display");  // "Timed vend" on output 1, multiplier 10
  page.rows[0].time_on.value = 30;
  page.parameter(10).box.value = 20;
  rules.parameter_changed(10);
  EXPECT_EQ(page.rows[0].time_on.step, 20);
  EXPECT_EQ(page.rows[0].time_on.value, 60);
  EXPECT_EQ(param_digits(10), "14");
}

TEST_F(RulesTest, StopAndInhibitTimesShowTheirWords) {
  start();
  choose("Vending standard");
  const std::tuple<std::size_t, int, const char*> cases[] = {
      {17, 0, "Disabled"}, {17, 255, "Reset"}, {8, 255, "Disabled"}, {8, 30, "s"}};
  for (const auto& [k, value, unit] : cases) {
    page.parameter(k).box.value = value;
    rules.parameter_changed(k);
    EXPECT_EQ(page.parameter(k).unit, unit) << k << " " << value;
  }
}

TEST_F(RulesTest, DisplayTypeIsRefusedWithoutDisplayFunctions) {
  start();
  choose("Vending standard");
  for (int p = 1; p <= 8; ++p) images.io_text[p - 1] = "FFFFFFFFFFFFFFFF";
  rules.match_io_functions();
  rules.display_type_chosen(1);
  EXPECT_EQ(ui.errors(),
            std::vector<std::string>{"It is not possible to use display in this configuration."});
  EXPECT_EQ(page.display_type.index, 0);
  EXPECT_EQ(page.display_show.index, -1);
}

TEST_F(RulesTest, ShowChoiceNamesWhatTheFunctionsCannotShow) {
  start();
  choose("Change machine");  // display mask 03: credit and value
  ASSERT_EQ(rules.display_mask(), 0x03);
  rules.display_type_chosen(2);                     // LCD 2x16
  ASSERT_EQ(page.display_show.items.at(6), "All");  // 07
  rules.display_show_chosen(6);
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"It is not possible to show Time"});
  EXPECT_EQ(page.display_show.index, -1);

  ui.clear();
  rules.display_show_chosen(2);  // "Value" 02
  EXPECT_TRUE(ui.shown.empty());
  rules.store_parameter_image();
  EXPECT_EQ(param_digits(14), "12");
  EXPECT_EQ(param_digits(15), "10");
  EXPECT_EQ(param_digits(16), "21");
}

TEST_F(RulesTest, DisplayByteSelectsTypeAndShowEntry) {
  start();
  choose("Timer with display");  // 0x15: LCD 2x16, "Credit and time"
  EXPECT_EQ(page.display_type.text(), "LCD 2x16");
  EXPECT_EQ(page.display_show.text(), "Credit and time");
}

TEST_F(RulesTest, DipModeMustBeAllowedByTheFunctions) {
  start();
  choose("Timer with display");  // "Timed vend" allows 01 and 02
  ASSERT_EQ(rules.dip_mode_list(), "0102");
  struct Case {
    int index;
    bool accepted;
    int code;
  };
  // Standard 00, Price lines 01, Timer preset 02, Credit preset 03, Inhibit groups 10.
  for (const Case& c :
       {Case{3, false, 0}, Case{1, true, 0x01}, Case{4, false, 0}, Case{2, true, 0x02}}) {
    ui.clear();
    rules.dip_mode_chosen(c.index);
    if (c.accepted) {
      EXPECT_TRUE(ui.shown.empty()) << c.index;
      EXPECT_EQ(page.dip_mode.index, c.index);
    } else {
      EXPECT_EQ(ui.errors(), std::vector<std::string>{"DIP switch mode is not allowed"});
      EXPECT_EQ(page.dip_mode.index, 0);
    }
    EXPECT_EQ(rules.dip_code(), c.code) << c.index;
  }
  set_record(3, "0800000000000000");  // "Inhibit repeater" allows 10
  rules.dip_mode_chosen(4);
  EXPECT_EQ(rules.dip_code(), 0x10);
  rules.store_parameter_image();
  EXPECT_EQ(param_digits(11), "10");
}

// A function that allows only the standard mode gives way to special modes
// in either order; one that lists the standard mode among its own keeps it.
TEST_F(RulesTest, StandardDipModeStandsWhereAFunctionListsIt) {
  start();
  choose("Change machine");  // Credit pulses 0001, Coin pulse 00
  EXPECT_EQ(rules.dip_mode_list(), "0001");
  const std::string coin_pulse = "000000000000140A";
  const std::string timed_vend = "0304000000000A00";
  set_record(1, coin_pulse);
  set_record(2, timed_vend);
  EXPECT_EQ(rules.dip_mode_list(), "0102");
  set_record(1, timed_vend);
  set_record(2, coin_pulse);
  EXPECT_EQ(rules.dip_mode_list(), "0102");
}

TEST_F(RulesTest, WarningChoiceWritesTheCode) {
  start();
  choose("Vending standard");  // output 6: warning "Coin jam" 01
  EXPECT_EQ(page.rows[5].warning.text(), "Coin jam");
  EXPECT_FALSE(page.parameter(9).box.visible);
  rules.warning_chosen(6, 1);  // "Timeout warning" BF
  EXPECT_EQ(images.io_text[5].substr(0, 6), "0706BF");
  EXPECT_TRUE(page.parameter(9).box.visible);
  set_record(6, "0786BFFF00000000");  // the same warning at the other level
  EXPECT_TRUE(page.parameter(9).box.visible);
  set_record(6, "070655FF00000000");
  EXPECT_EQ(page.rows[5].warning.index, -1);
  EXPECT_EQ(rules.warning_index("55"), -1);
  EXPECT_EQ(rules.warning_index("7F"), 5);
}

}  // namespace
}  // namespace qv82::test
