#include <gtest/gtest.h>

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
