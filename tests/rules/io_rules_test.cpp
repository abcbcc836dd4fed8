#include <gtest/gtest.h>

#include "rules/rules_fixture.h"

namespace qv82::test {
namespace {

constexpr const char* kNone = "FFFFFFFFFFFFFFFF";

struct SelectCase {
  const char* what;
  std::vector<std::pair<int, std::string>> records;  // set before the pick
  int position;
  const char* section;
  const char* function;
  const char* result;
};

class SelectRulesTest : public RulesTest, public ::testing::WithParamInterface<SelectCase> {};

// Against the io.ini as shipped: "Credit timer" needs input class 81.
TEST_P(SelectRulesTest, RefusesOrTakesTheFunction) {
  const SelectCase& c = GetParam();
  start();
  for (int p = 1; p <= 8; ++p) images.io_text[p - 1] = std::string(kNone) + "NNNN";
  for (const auto& [position, record] : c.records) images.io_text[position - 1] = record;
  const auto before = images.io_text;
  EXPECT_EQ(rules.select_io_function(c.position, c.section, c.function), c.result) << c.what;
  if (std::string(c.result) == "OK") {
    EXPECT_EQ(images.io_text[c.position - 1].substr(0, 4),
              rules.catalogue().function_template(c.section, c.function, "").substr(0, 4));
  } else {
    EXPECT_EQ(images.io_text, before) << c.what;
  }
}

const std::pair<int, std::string> kCounterOn1 = {1, "0200FFFF0000281E"};
const std::pair<int, std::string> kStartOn8 = {8, "8101010000000000"};

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectRulesTest,
    ::testing::Values(
        SelectCase{"solo class elsewhere", {kCounterOn1}, 2, "OUTPUTS", "Counter pulse",
                   "This output is already defined"},
        SelectCase{"solo at its own position", {{2, "0200FFFF0000281E"}}, 2, "OUTPUTS",
                   "Counter pulse", "OK"},
        SelectCase{"conflict 0304 refuses class 30", {{3, "3000000000000000"}}, 1, "OUTPUTS",
                   "Credit pulses", "This output cannot be used"},
        SelectCase{"must have missing", {}, 1, "OUTPUTS", "Credit timer",
                   "First configure input(s) "},
        SelectCase{"input needed by an output", {{1, "0405000000000500"}, kStartOn8}, 8, "INPUTS",
                   "Inhibit input", "Cannot change input"},
        SelectCase{"input at 7 needed by an output", {{1, "0405000000000500"}, {7, "8101010000000000"}},
                   7, "INPUTS", "Inhibit input", "Cannot change input"},
        SelectCase{"an output is never checked that way", {{1, "0405000000000500"}, kStartOn8},
                   3, "OUTPUTS", "Coin pulse", "OK"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// Level and edge direction are settings of one function, not other functions.
TEST_F(RulesTest, LevelAndDirectionDoNotChangeTheFunction) {
  const struct {
    const char* record;
    const char* function;
    bool matches;
  } cases[] = {{"0486", "0406", true}, {"0486", "0405", false}, {"0481", "0402", true},
               {"0481", "0403", false}, {"0403", "0484", true}};
  for (const auto& c : cases) {
    write_file("io.ini", std::string("[OUTPUTS]\nNot used=FFFFFFFFFFFFFFFFNNNN\nF=") + c.function +
                             "000000000000YNNN\n[INPUTS]\nNone=FFFFFFFFFFFFFFFFNNNN\n");
    start();
    set_record(1, std::string(c.record) + "000000000000");
    EXPECT_EQ(function_of(1), c.matches ? "F" : "") << c.record << " / " << c.function;
  }
}

TEST_F(RulesTest, UnknownRecordKeepsItsBytesAndShowsNothing) {
  start();
  choose("Vending standard");
  set_record(2, "5A5A123456789ABC");
  EXPECT_EQ(function_of(2), "");
  rules.before_images_saved();
  EXPECT_EQ(images.io_text[1].substr(0, 16), "5A5A123456789ABC");
}

TEST_F(RulesTest, TimeOnIsStoredInStepsRoundedHalvesToEven) {
  start();
  choose("Vending standard");
  const struct {
    int value;
    int step;
    const char* stored;
  } cases[] = {{12, 5, "02"}, {20, 8, "02"}, {28, 8, "04"}};
  for (const auto& c : cases) {
    page.rows[0].time_on.step = c.step;
    page.rows[0].time_on.value = c.value;
    rules.store_io_records();
    EXPECT_EQ(images.io_text[0].substr(12, 2), c.stored) << c.value << "/" << c.step;
  }
}

TEST_F(RulesTest, TimeoutWarningAboveATimerIsPulledDown) {
  start();
  choose("Timer with display");  // warning "BF" shows the Time out warning box
  ASSERT_TRUE(page.parameter(9).box.visible);
  page.rows[0].time_on.value = 20;
  page.parameter(9).box.value = 20;  // as long as the timer is allowed
  rules.parameter_changed(9);
  EXPECT_TRUE(ui.shown.empty());
  page.parameter(9).box.value = 50;
  rules.parameter_changed(9);
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"Timeout warning is bigger than timer value"});
  EXPECT_EQ(page.parameter(9).box.value, 20);
}

}  // namespace
}  // namespace qv82::test
