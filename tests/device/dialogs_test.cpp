#include "device/dialogs.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/selector_bench.h"

namespace qv82::test {
namespace {

TEST(PasswordDialog, ValidatesLengthThenCharactersOfTheTrimmedText) {
  const std::string factory = "Enter factory password", pin = "Enter PIN";
  const std::string length = "Incorrect password length";
  const std::string character = "Incorrect password character";
  const std::tuple<std::string, std::string, std::optional<std::string>> cases[] = {
      {factory, " 123456789ABC  ", std::nullopt}, {factory, "123456789ABCD", length},
      {pin, "12345678", std::nullopt},            {pin, "123456789ABC", length},
      {pin, "abcdef01", character},               {pin, "1234 678", character},
  };
  for (const auto& [caption, text, error] : cases)
    EXPECT_EQ(validate_password(caption, text), error) << caption << " '" << text << "'";
  EXPECT_EQ(password_key(" 123456789ABC"), (Bytes{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}));
}

TEST(AddressDialog, ChangesTheAddressOnlyWhenTheDeviceAgrees) {
  SelectorBench bench;
  EXPECT_TRUE(bench.selector.change_address(17));
  EXPECT_EQ(bench.state.download_address, 17);
  EXPECT_EQ(bench.device().address(), 17);
  bench.link.device_address = 40;  // nobody answers
  EXPECT_FALSE(bench.selector.change_address(5));
  EXPECT_EQ(bench.link.device_address, 40);
  EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{"Error write address"});
}

// A wrong current PIN is the device's answer; a wrong confirmation sends nothing.
TEST(PinDialog, ChangesThePinOnTheDeviceOnlyWithTheRightPinAndConfirmation) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"12345678", "CAFE0001", ""},
      {"00000000", "CAFE0001", "Wrong Password"},
      {"12345678", "CAFE0002", "Confirmation error"},
  };
  for (const auto& [current, confirmation, error] : cases) {
    SCOPED_TRACE(current + " " + confirmation);
    SelectorBench bench;
    const std::size_t before = bench.requests();
    EXPECT_EQ(bench.selector.change_pin(current, "CAFE0001", confirmation), error.empty());
    EXPECT_EQ(bench.ui.errors(), error.empty() ? std::vector<std::string>{}
                                               : std::vector<std::string>{error});
    EXPECT_EQ(bench.device().pin(),
              error.empty() ? (Bytes{0xCA, 0xFE, 0x00, 0x01}) : (Bytes{0x12, 0x34, 0x56, 0x78}));
    if (error == "Confirmation error") {
      EXPECT_EQ(bench.requests(), before) << "nothing sent";
    }
  }
}

// A standard configuration's name: empty and used names keep the dialog open.
TEST(ConfigurationNameDialog, EmptyAndUsedNamesKeepItOpen) {
  const std::vector<std::string> used = {"Standard", " Vending 2 "};
  struct Case {
    std::string name;
    NameCheck check;
    std::vector<std::string> informations;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {"   ", NameCheck::Empty, {"Type name first"}, {}},
      {"  Vending 2", NameCheck::Used, {}, {"Name is already used"}},
      {"standard", NameCheck::Accepted, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.name + "'");
    EXPECT_EQ(check_configuration_name(c.name, used), c.check);
    FakeUi ui;
    EXPECT_EQ(accept_configuration_name(ui, c.name, used), c.check == NameCheck::Accepted);
    EXPECT_EQ(ui.informations(), c.informations);
    EXPECT_EQ(ui.errors(), c.errors);
  }
}

TEST(Terminal, UnlocksTheAddressedAreaBeforeSending) {
  SelectorBench bench(with_masks(0xFB, 0xFF, 0xFF, 0xFF));  // modes closed for reading
  ASSERT_TRUE(bench.selector.identify_device());
  std::vector<std::string> log;
  bench.link.add_log_line = [&](const std::string& line) { log.push_back(line); };
  bench.ui.passwords = {"123456789ABC"};

  EXPECT_EQ(bench.selector.terminal_send("ff0207eb04"), kTransactionOk);
  EXPECT_EQ(bench.ui.password_prompts(), std::vector<std::string>{"Enter factory password"});
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "-> 020401FF0207EB0402");
  EXPECT_EQ(log.back().substr(0, 3), "<- ");
  EXPECT_EQ(bench.device().requests().back()[4], 0x02);
}

TEST(Terminal, FactoryCheckUnlocksWithoutThePin) {
  SelectorBench bench(with_masks(0, 0, 0, 0));
  ASSERT_TRUE(bench.selector.identify_device());
  bench.ui.passwords = {"000000000000"};  // wrong: the PIN must not be asked
  bench.selector.terminal_send("FF07");
  EXPECT_EQ(bench.ui.password_prompts(), std::vector<std::string>{"Enter factory password"});
  EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{"Wrong Password"});
  EXPECT_FALSE(bench.state.pin_check_bypass);
}

}  // namespace
}  // namespace qv82::test
