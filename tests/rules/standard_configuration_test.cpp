#include <gtest/gtest.h>

#include "rules/rules_fixture.h"

namespace qv82::test {
namespace {

constexpr const char* kNone = "FFFFFFFFFFFFFFFF";

// A configuration that is loaded and saved without an edit is written back as it was read.
TEST_F(RulesTest, EveryStandardConfigurationSurvivesTheEncoders) {
  start();
  for (const std::string name :
       {"Vending standard", "Timer with display", "Credit timer with sorter", "Change machine"}) {
    choose(name);
    const auto records = images.io_text;
    const std::string parameters = images.param_image;
    rules.before_images_saved();
    for (int p = 0; p < 8; ++p) EXPECT_EQ(images.io_text[p], records[p]) << name << " " << p + 1;
    EXPECT_EQ(images.param_image, parameters) << name;
  }
}

struct LoadedCase {
  const char* what;
  std::array<const char*, 8> records;
  const char* recognised;
};

class RecogniseTest : public RulesTest, public ::testing::WithParamInterface<LoadedCase> {};

TEST_P(RecogniseTest, LoadedRecordsSelectTheirStandardConfiguration) {
  const LoadedCase& c = GetParam();
  start();
  for (int p = 0; p < 8; ++p) images.io_text[p] = c.records[p];
  page.stop_mode_text = "Mode 1";
  rules.after_images_loaded();
  EXPECT_EQ(page.versions.text(), c.recognised) << c.what;
  EXPECT_TRUE(page.parameter(8).box.visible);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecogniseTest,
    ::testing::Values(
        LoadedCase{"other channel masks and timers",
                   {"0000FFFF00000101", "0000010000003030", "0000000000000000", "FFFF000000000000",
                    kNone, "070602FF00000000", "8000000000000000", "FFFF123456789ABC"},
                   "Vending standard"},
        LoadedCase{"lower-case hex",
                   {"0304000000000600", "0706bfff00000000", "0200FFFF0000281E", kNone,
                    kNone, kNone, "820201FF00000000", "8101010000000000"},
                   "Timer with display"},
        LoadedCase{"nothing matches",
                   {"0405000000000500", kNone, kNone, kNone,
                    kNone, kNone, kNone, "8101010000000000"},
                   "Custom"}));

// Stored under a new name, the page's configuration applies again later.
TEST_F(RulesTest, StoredConfigurationAppliesAgain) {
  start();
  choose("Timer with display");
  page.rows[0].time_on.value = 120;
  ui.answers = {Answer::Yes};
  ASSERT_TRUE(rules.store_standard_configuration(
      [](const std::string&, const ConfigurationRules::NameCheckFn& check) {
        return check("Night shift") ? std::optional<std::string>("Night shift") : std::nullopt;
      }));
  EXPECT_EQ(page.versions.text(), "Night shift");
  choose("Vending standard");
  choose("Night shift");
  EXPECT_EQ(images.io_text[0].substr(0, 16), "0304000000000C00");
  EXPECT_EQ(page.rows[0].time_on.value, 120);
  EXPECT_EQ(function_of(8), "Start button");
}

struct SeparatorCase {
  const char* what;
  const char* output4;
  const char* output6;
  int separator;  // No sorter, 2 paths, 3 paths, 4 paths
  bool accepted;
  std::array<const char*, 3> outputs_after;  // first 4 digits of outputs 4 ... 6
  const char* sorter_num;
};

class SeparatorTest : public RulesTest, public ::testing::WithParamInterface<SeparatorCase> {};

TEST_P(SeparatorTest, AcceptsOnlyFreeOutputs) {
  const SeparatorCase& c = GetParam();
  start();
  choose("Vending standard");
  set_record(4, c.output4);
  set_record(6, c.output6);
  rules.choose_separator(c.separator);
  rules.accept_separator();
  if (c.accepted) {
    EXPECT_EQ(ui.informations(), std::vector<std::string>{"Sorter data accepted."}) << c.what;
    EXPECT_EQ(page.separators.index, c.separator);
  } else {
    EXPECT_EQ(ui.errors(), std::vector<std::string>{"This sorter is not allowed"}) << c.what;
    EXPECT_EQ(page.separators.index, 0);
  }
  for (int k = 4; k <= 6; ++k) {
    EXPECT_EQ(images.io_text[k - 1].substr(0, 4), c.outputs_after[k - 4]) << c.what << " " << k;
  }
  EXPECT_EQ(param_digits(18), c.sorter_num) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SeparatorTest,
    ::testing::Values(
        SeparatorCase{"output 4 in use", "050401FF00000000", "070601FF00000000", 1, false,
                      {"0504", "FFFF", "0706"}, "00"},
        SeparatorCase{"output 4 free", kNone, "070601FF00000000", 1, true,
                      {"0103", "FFFF", "0706"}, "02"},
        SeparatorCase{"output 4 already a sorter", "0183010000003200", "070601FF00000000", 2,
                      true, {"0103", "0103", "0706"}, "03"},
        SeparatorCase{"no sorter frees all", "0103010000003200", "0103040000003200", 0, true,
                      {"FFFF", "FFFF", "FFFF"}, "00"}));

}  // namespace
}  // namespace qv82::test
