#include <gtest/gtest.h>

#include "support/selector_bench.h"

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

TEST(Search, FindsTheDeviceAndRemembersWhere) {
  // Through port scan and address poll, or at address 2 on the open port.
  const std::tuple<sim::SetupOptions, int, const char*, const char*, const char*> cases[] = {
      {two_ports(0xAB), 0xAB, "AB", "171", "ttyUSB0"},
      {{}, 2, "02", "2", "SIM"}};
  for (const auto& [options, address, ini_text, told, port] : cases) {
    SCOPED_TRACE(told);
    SelectorBench bench(options);
    bench.link.device_address = 7;  // whatever start-up remembered
    std::vector<bool> pages;
    bench.selector.set_pages_enabled = [&](bool on) { pages.push_back(on); };
    EXPECT_TRUE(bench.selector.search());

    // The quiet first try at address 2 says nothing; only the find is told.
    EXPECT_EQ(bench.ui.shown.size(), 1u);
    EXPECT_EQ(bench.ui.informations(),
              Texts{"Coin selector with address " + std::string(told) + " found at  " + port});
    EXPECT_EQ(bench.link.device_address, address);
    EXPECT_EQ(bench.state.download_address, address);
    EXPECT_EQ(bench.link.port.port_name(), port);
    EXPECT_EQ(pages, (std::vector<bool>{false, true}));
    EXPECT_EQ(bench.settings.read_string("SETTINGS", "ComPort", ""), port);
    EXPECT_EQ(bench.settings.read_string("SETTINGS", "ccTalkAddr", ""), ini_text);
    const DeviceInfo& info = bench.state.info;
    EXPECT_EQ((Texts{info.product_code, info.serial_number, info.build_code, info.software_revision,
                     info.production_date, info.modification_date}),
              (Texts{"QV82", "1234567", "B01", "QV82HS-1.02", "2007/3/9", "2010/6/15"}));
    EXPECT_EQ(bench.state.access_masks, (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
    if (address == 2) {
      for (const Bytes& frame : bench.device().requests())
        EXPECT_NE(frame[0], 0) << "no broadcast poll expected";
    }
  }
}

// Counts the waits that fall outside the busy indication: a user could start
// Search, Upload or Exit inside them.
class WatchedPump : public EventPump {
 public:
  WatchedPump(EventPump& inner, const int& busy) : inner_(inner), busy_(busy) {}
  bool wait_until_us(std::uint64_t deadline_us) override {
    if (busy_ == 0) ++idle_waits;
    return inner_.wait_until_us(deadline_us);
  }
  void wake() override { inner_.wake(); }
  std::uint64_t now_us() const override { return inner_.now_us(); }
  int idle_waits = 0;

 private:
  EventPump& inner_;
  const int& busy_;
};

TEST(Search, NothingFoundOnAnyPortOrABootMonitor) {
  enum Kind { kEmpty, kMonitor, kTwoDevices, kNoPortList, kRefused };
  struct Case {
    const char* name;
    Kind kind;
    std::string monitor_id;
    std::deque<Answer> answers;
    Texts errors, questions;
    int firmware_windows;
  };
  const std::string question = "Coin sel. is in the monitor mode! Do you want to upgrade?";
  const Texts not_found = {"Coin selector not found!"};
  const std::string no_list = "Registry error: the list of serial ports cannot be read";
  const std::string refused_port = "Unable to open com port ttyS0: Permission denied";
  const Case cases[] = {
      {"empty bench", kEmpty, "", {}, not_found, {}, 0},
      {"monitor, yes", kMonitor, "QV82HS-BL", {Answer::Yes}, {}, {question}, 1},
      {"foreign monitor", kMonitor, "XX99XX-BL", {}, not_found, {}, 0},
      {"two answer the address poll", kTwoDevices, "", {}, {"Coin selector not found at address 2!"}, {}, 0},
      {"port list vanished", kNoPortList, "", {}, {no_list}, {}, 0},
      // Said with the port that would not open: the likely reason.
      {"a port refuses to open", kRefused, "", {}, {not_found[0] + "\n" + refused_port}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SetupOptions options = two_ports(2);
    options.device.start_in_monitor = c.kind == kMonitor;
    options.device.monitor_id = c.monitor_id;
    if (c.kind == kEmpty || c.kind == kRefused) options.device_port = "";
    SelectorBench bench(options);
    if (c.kind == kTwoDevices) bench.setup.set_second_device(true, 5);
    bench.setup.line().fail_port_list = c.kind == kNoPortList;
    if (c.kind == kRefused) bench.setup.line().open_refusals["ttyS0"] = "Permission denied";
    bench.ui.answers = c.answers;
    int busy = 0;
    WatchedPump pump(bench.setup.clock(), busy);
    CcTalkLink link(bench.setup.line(), pump);
    link.busy_start = [&] { ++busy; };
    link.busy_end = [&] { --busy; };
    CoinSelector selector(link, bench.state, bench.ui, bench.settings);
    int firmware_windows = 0;
    selector.open_firmware_download = [&] {
      ++firmware_windows;
      EXPECT_EQ(busy, 0) << "the firmware window opens on a window that is not busy";
      return false;
    };
    std::vector<bool> pages;
    selector.set_pages_enabled = [&](bool on) { pages.push_back(on); };
    EXPECT_FALSE(selector.search());
    EXPECT_EQ(pump.idle_waits, 0);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(bench.ui.errors(), c.errors);
    EXPECT_EQ(bench.ui.questions(), c.questions);
    EXPECT_TRUE(bench.ui.informations().empty());
    EXPECT_EQ(firmware_windows, c.firmware_windows);
    EXPECT_EQ(link.port.baud_rate(), 9600);
    EXPECT_EQ(link.device_address, 2);
    ASSERT_FALSE(pages.empty());
    EXPECT_TRUE(pages.back()) << "the pages are usable again";
  }
}

TEST(Identify, RefusesForeignAndUnsupportedDevices) {
  for (const bool foreign : {true, false}) {
    SCOPED_TRACE(foreign ? "maker in lower case" : "no supported types");
    sim::SetupOptions options;
    if (foreign) options.device.manufacturer = "corvanti";
    SelectorBench bench(options, foreign ? kSupportedTypesIni : "");
    bench.state.access_masks = {1, 2, 3, 4};
    EXPECT_FALSE(bench.selector.identify_device());
    // Without any supported type the file is named, not just the device refused.
    EXPECT_EQ(bench.ui.errors(),
              Texts{foreign ? "This is not Corvanti device"
                            : "Coin selector is not compatible with this software. [SUPPORTED "
                              "TYPES] in " + bench.settings.path() +
                                  " lists no device type (device type 'QV82')"});
    EXPECT_EQ(bench.state.access_masks, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(bench.settings.read_string("SETTINGS", "ccTalkAddr", "none"), "none");

    bench.ui.clear();
    bench.state.messages_enabled = false;
    EXPECT_FALSE(bench.selector.identify_device());
    EXPECT_TRUE(bench.ui.shown.empty()) << "the quiet try of a search says nothing";
  }
}

TEST(Identify, UnprogrammedSerialUnreadableBaseYearAndSilentDevice) {
  sim::SetupOptions options;
  options.device.serial_number = 0xFFFFFF;
  options.device.base_year = "20x0";
  SelectorBench bench(options);
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
