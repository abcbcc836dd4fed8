#include <gtest/gtest.h>

#include "device/bench.h"

namespace qv82::test {
namespace {

using Texts = std::vector<std::string>;

sim::SetupOptions two_ports(std::uint8_t address) {
  sim::SetupOptions options;
  options.ports = {"ttyS0", "ttyUSB0"};
  options.device_port = "ttyUSB0";
  options.open_port = "ttyS0";
  options.device.address = address;
  return options;
}

TEST(Search, FindsDeviceAtAnotherAddressThroughPortScanAndAddressPoll) {
  const std::tuple<std::uint8_t, const char*, const char*> cases[] = {{3, "03", "3"},
                                                                      {0xAB, "AB", "171"}};
  for (const auto& [address, ini_text, told] : cases) {
    Bench bench(two_ports(address));
    bench.link.device_address = 7;  // whatever start-up remembered
    std::vector<bool> pages;
    bench.selector.set_pages_enabled = [&](bool on) { pages.push_back(on); };
    EXPECT_TRUE(bench.selector.SpeedButton11Click());

    // The quiet first try at address 2 says nothing; only the find is told.
    EXPECT_EQ(bench.ui.shown.size(), 1u);
    EXPECT_EQ(bench.ui.informations(),
              Texts{"Coin selector with address " + std::string(told) + " found at  ttyUSB0"});
    EXPECT_EQ(bench.link.device_address, address);
    EXPECT_EQ(bench.state.download_address, address);
    EXPECT_EQ(bench.link.ComPort1.port_name(), "ttyUSB0");
    EXPECT_EQ(pages, (std::vector<bool>{false, true}));
    EXPECT_EQ(bench.settings.read_string("SETTINGS", "ComPort", ""), "ttyUSB0");
    EXPECT_EQ(bench.settings.read_string("SETTINGS", "ccTalkAddr", ""), ini_text);

    const DeviceInfo& info = bench.state.info;
    EXPECT_EQ((Texts{info.product_code, info.serial_number, info.build_code, info.software_revision,
                     info.production_date, info.modification_date}),
              (Texts{"QV82", "1234567", "B01", "QV82HS-1.02", "2007/3/9", "2010/6/15"}));
    EXPECT_EQ(bench.state.access_masks, (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
  }
}

TEST(Search, DeviceOnOpenPortAtAddressTwoIsFoundWithoutScanning) {
  Bench bench;
  ASSERT_TRUE(bench.selector.SpeedButton11Click());
  EXPECT_EQ(bench.ui.informations(), Texts{"Coin selector with address 2 found at  SIM"});
  for (const Bytes& frame : bench.device().requests()) {
    EXPECT_NE(frame[0], 0) << "no broadcast poll expected";
  }
}

TEST(Search, TwoDevicesAnsweringTheAddressPollAreNotFound) {
  Bench bench(two_ports(2));
  bench.setup.set_second_device(true, 5);
  EXPECT_FALSE(bench.selector.SpeedButton11Click());
  EXPECT_EQ(bench.ui.errors(), Texts{"Coin selector not found!2"});
  EXPECT_TRUE(bench.ui.informations().empty());
  EXPECT_EQ(bench.link.device_address, 2);
}

TEST(Search, NothingOnAnyPortOrBootMonitor) {
  struct Case {
    const char* name;
    bool monitor;
    std::string monitor_id;
    std::deque<Answer> answers;
    Texts errors;
    Texts questions;
    int firmware_windows;
  };
  const std::string question = "Coin sel. is in the monitor mode! Do you want to upgrade?";
  const Case cases[] = {
      {"empty bench", false, "QV82HS-BL", {}, {"Coin selector not found!"}, {}, 0},
      {"monitor, yes", true, "QV82HS-BL", {Answer::Yes}, {}, {question}, 1},
      {"monitor, no", true, "QV82HS-BL", {Answer::No}, {}, {question}, 0},
      {"foreign monitor", true, "XX99XX-BL", {}, {"Coin selector not found!"}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SetupOptions options = two_ports(2);
    if (c.monitor) {
      options.device.start_in_monitor = true;
      options.device.monitor_id = c.monitor_id;
    } else {
      options.device_port = "";
    }
    Bench bench(options);
    bench.ui.answers = c.answers;
    int firmware_windows = 0;
    bench.selector.open_firmware_download = [&] { ++firmware_windows; };
    EXPECT_FALSE(bench.selector.SpeedButton11Click());
    EXPECT_EQ(bench.ui.errors(), c.errors);
    EXPECT_EQ(bench.ui.questions(), c.questions);
    EXPECT_EQ(firmware_windows, c.firmware_windows);
    EXPECT_EQ(bench.link.ComPort1.baud_rate(), 9600);
  }
}

TEST(Search, VanishedPortListEndsTheSearchWithThePortsWords) {
  Bench bench(two_ports(3));
  bench.setup.line().fail_port_list = true;
  bool pages_enabled = false;
  bench.selector.set_pages_enabled = [&](bool on) { pages_enabled = on; };
  EXPECT_FALSE(bench.selector.SpeedButton11Click());
  ASSERT_EQ(bench.ui.errors().size(), 1u);
  EXPECT_NE(bench.ui.errors()[0].find("Registry error"), std::string::npos);
  EXPECT_TRUE(pages_enabled);
}

TEST(Identify, RefusesForeignAndUnsupportedDevices) {
  struct Case {
    const char* name;
    std::string manufacturer;
    std::string type;
    std::string ini;
    std::string error;
  };
  const Case cases[] = {
      {"maker in lower case", "corvanti", "QV82", kSupportedTypesIni,
       "This is not Corvanti device"},
      {"unsupported type", "Corvanti", "QV99", kSupportedTypesIni,
       "Coin selector is not compatible with this software."},
      {"no settings file types", "Corvanti", "QV82", "",
       "Coin selector is not compatible with this software."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SetupOptions options;
    options.device.manufacturer = c.manufacturer;
    options.device.device_type = c.type;
    Bench bench(options, c.ini);
    bench.state.access_masks = {1, 2, 3, 4};
    EXPECT_FALSE(bench.selector.identify_device());
    EXPECT_EQ(bench.ui.errors(), Texts{c.error});
    EXPECT_EQ(bench.state.access_masks, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(bench.settings.read_string("SETTINGS", "ccTalkAddr", "none"), "none");

    // The quiet try of a search says nothing.
    bench.ui.clear();
    bench.state.messages_enabled = false;
    EXPECT_FALSE(bench.selector.identify_device());
    EXPECT_TRUE(bench.ui.shown.empty());
  }
}

TEST(Identify, UnprogrammedSerialUnreadableBaseYearAndSilentDevice) {
  sim::SetupOptions options;
  options.device.serial_number = 0xFFFFFF;
  options.device.base_year = "20x0";
  Bench bench(options);
  // The base year costs only the dates.
  EXPECT_TRUE(bench.selector.identify_device());
  EXPECT_EQ(bench.state.info.serial_number, "Not programmed");
  EXPECT_EQ(bench.state.info.production_date, "");
  EXPECT_EQ(bench.state.info.product_code, "QV82");
  EXPECT_EQ(bench.ui.errors().size(), 2u);

  bench.link.device_address = 9;  // nobody there
  bench.ui.clear();
  EXPECT_FALSE(bench.selector.identify_device());
  EXPECT_TRUE(bench.ui.shown.empty());
}

}  // namespace
}  // namespace qv82::test
