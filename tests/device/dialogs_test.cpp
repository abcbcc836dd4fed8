#include "device/dialogs.h"

#include <gtest/gtest.h>

#include "support/selector_bench.h"
#include "link/errors.h"

namespace qv82::test {
namespace {

TEST(PasswordDialog, ValidatesLengthThenCharactersOfTheTrimmedText) {
  const std::string factory = "Enter factory password", pin = "Enter PIN";
  const std::string length = "Incorrect password length";
  const std::string character = "Incorrect password character";
  struct Case {
    std::string caption;
    std::string text;
    std::optional<std::string> error;
  };
  const Case cases[] = {
      {factory, "123456789ABC", std::nullopt},
      {factory, " 123456789ABC  ", std::nullopt},
      {factory, "123456789ABCD", length},
      {pin, "12345678", std::nullopt},
      {pin, "123456789ABC", length},
      {pin, "abcdef01", character},
      {pin, "1234 678", character},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption + " '" + c.text + "'");
    EXPECT_EQ(validate_password(c.caption, c.text), c.error);
  }
  EXPECT_EQ(password_key(" 123456789ABC"), (Bytes{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}));
}

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

TEST(AddressDialog, ChangesTheAddressOnlyWhenTheDeviceAgrees) {
  SelectorBench bench;
  EXPECT_TRUE(bench.selector.change_address(2));  // same address: still sent
  EXPECT_TRUE(bench.selector.change_address(17));
  EXPECT_EQ(bench.link.device_address, 17);
  EXPECT_EQ(bench.state.download_address, 17);
  EXPECT_EQ(bench.device().address(), 17);
  EXPECT_EQ(bench.ui.informations(),
            (std::vector<std::string>{"Address changed", "Address changed"}));

  bench.ui.clear();
  bench.link.device_address = 40;  // nobody answers
  EXPECT_FALSE(bench.selector.change_address(5));
  EXPECT_EQ(bench.link.device_address, 40);
  EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{"Error write address"});
}

TEST(PinDialog, ChecksFieldsInOrderThenChangesThePinOnTheDevice) {
  struct Case {
    std::string current, fresh, confirmation;
    std::optional<std::string> field_error;
    std::vector<std::string> errors;
  };
  const std::string length = "Incorrect password length";
  const Case cases[] = {
      {"12345678", "CAFE0001", "CAFE0001", std::nullopt, {}},
      {"00000000", "CAFE0001", "CAFE0001", std::nullopt, {"Wrong Password"}},
      {"1234567", "8765432G", "x", length, {length}},
      {"12345678", "87654321", "87654320", "Confirmation error", {"Confirmation error"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.current + " " + c.fresh + " " + c.confirmation);
    EXPECT_EQ(check_pin_fields(c.current, c.fresh, c.confirmation), c.field_error);
    SelectorBench bench;
    const std::size_t before = bench.requests();
    const bool changed = c.errors.empty();
    EXPECT_EQ(bench.selector.change_pin(c.current, c.fresh, c.confirmation), changed);
    EXPECT_EQ(bench.ui.errors(), c.errors);
    EXPECT_EQ(bench.ui.informations(), changed ? std::vector<std::string>{"Operation finished"}
                                               : std::vector<std::string>{});
    EXPECT_EQ(bench.device().pin(),
              changed ? (Bytes{0xCA, 0xFE, 0x00, 0x01}) : (Bytes{0x12, 0x34, 0x56, 0x78}));
    if (c.field_error) {
      EXPECT_EQ(bench.requests(), before) << "nothing sent";
    }
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

TEST(Terminal, SendsPlainCommandsAndRefusesBadText) {
  SelectorBench bench;
  std::vector<std::string> log;
  bench.link.add_log_line = [&](const std::string& line) { log.push_back(line); };

  EXPECT_EQ(bench.selector.terminal_send("FE"), kTransactionOk);
  EXPECT_EQ(log, (std::vector<std::string>{"-> 020001FEFF", "<- 01000200FD"}));

  log.clear();
  const std::size_t before = bench.requests();
  EXPECT_EQ(bench.selector.terminal_send("F"), std::nullopt);
  EXPECT_THROW(bench.selector.terminal_send("FEG1"), ConversionError);
  EXPECT_THROW(bench.selector.terminal_send("FF02"), ConversionError);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(bench.requests(), before);
  EXPECT_TRUE(bench.ui.shown.empty());

  // Time-outs show only the request.
  bench.link.device_address = 9;
  EXPECT_EQ(bench.selector.terminal_send("FE"), kTransactionTimeout);
  EXPECT_EQ(log, std::vector<std::string>{"-> 090001FEF8"});
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
