#include "app/application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "lang/language.h"
#include "sim/simulated_setup.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

// A device at address 3 on the second of two ports; start-up remembers the
// first port.
sim::SetupOptions bench_options() {
  sim::SetupOptions options;
  options.ports = {"ttyS0", "ttyUSB0"};
  options.device_port = "ttyUSB0";
  options.open_port = "";
  options.device.address = 3;
  return options;
}

const char* const kSettings =
    "; remembered\n"
    "[SETTINGS]\nComPort=ttyS0\nccTalkAddr=05\nStop time min=0A\nTime base=0096\n"
    "[SUPPORTED TYPES]\nQV82=\n"
    "[Configurations]\nStandard=\nVending=\n"
    "[Warnings]\nNone=\nLow=\n"
    "[Statistic options]\nOff=\nCount=\n";

const char* const kIoRules =
    "[OUTPUTS]\nNot used=\nCoin pulse=\n[INPUTS]\nNot used=\nInhibit=\nCounter=\n";

struct AppBench {
  explicit AppBench(const std::string& settings = kSettings)
      : setup(bench_options()), app(setup.line(), setup.clock(), ui, dir.path()) {
    dir.write("qv82hs.ini", settings);
    dir.write("io.ini", kIoRules);
  }
  TempDir dir;
  sim::SimulatedSetup setup;
  FakeUi ui;
  Application app;
};

TEST(Application, StartUpFindsTheDeviceAndRemembersIt) {
  AppBench bench;
  ASSERT_TRUE(bench.app.start_up_once());

  EXPECT_EQ(bench.ui.informations(),
            std::vector<std::string>{"Coin selector with address 3 found at  ttyUSB0"});
  const std::string file = bench.dir.read("qv82hs.ini");
  EXPECT_EQ(file.substr(0, 12), "; remembered");
  EXPECT_NE(file.find("ComPort=ttyUSB0"), std::string::npos) << file;
  EXPECT_NE(file.find("ccTalkAddr=03"), std::string::npos) << file;
  EXPECT_EQ(bench.app.device_info().at(0),
            (std::pair<std::string, std::string>{"Product code:", "QV82"}));
  EXPECT_EQ(bench.app.lists.configurations, (std::vector<std::string>{"Standard", "Vending"}));
  EXPECT_EQ(bench.app.lists.in2out7,
            (std::vector<std::string>{"Not used", "Coin pulse", "Inhibit", "Counter"}));

  // Only once.
  EXPECT_TRUE(bench.app.start_up_once());
  EXPECT_EQ(bench.ui.informations().size(), 1u);
}

TEST(Application, NoSettingsFileMeansDefaultsAndNoSupportedDevice) {
  AppBench bench("");
  std::filesystem::remove(bench.dir.file("qv82hs.ini"));
  unsigned stop_time = 0;
  bench.app.hooks.stop_time_min_loaded = [&](unsigned v) { stop_time = v; };
  bench.app.read_settings();
  EXPECT_EQ(stop_time, 5u);
  EXPECT_EQ(bench.app.link.device_address, 2);
  EXPECT_EQ(bench.app.link.port.port_name(), "COM3");
  EXPECT_FALSE(bench.app.link.port.connected());

  // The refusal says which file is missing, not just that the type is unknown.
  bench.app.start_up();
  EXPECT_EQ(bench.ui.errors(),
            std::vector<std::string>{"Coin selector is not compatible with this software. " +
                                     bench.dir.file("qv82hs.ini") +
                                     " is missing, so [SUPPORTED TYPES] accepts no device type "
                                     "(device type 'QV82')"});
}

// Start-up sets the process-wide language; English again after each.
class LanguageSetting : public ::testing::Test {
 protected:
  ~LanguageSetting() override { set_language_base(kEnglishBase); }
};

// What the user wrote in the settings file decides the language of start-up;
// anything the program does not know is English, never a blank window.
TEST_F(LanguageSetting, StartUpSpeaksTheLanguageOfTheSetting) {
  // The last: the command line wins for the run.
  for (const auto& [settings, option, expected] :
       {std::tuple{"[SETTINGS]\nLanguage=IT\n", 0, kItalianBase},
        std::tuple{"[settings]\nlanguage = hr\n", 0, kCroatianBase},
        std::tuple{"[SETTINGS]\nLanguage=FR\n", 0, kEnglishBase},
        std::tuple{"[SETTINGS]\nLanguage=IT\n", kCroatianBase, kCroatianBase}}) {
    AppBench bench(settings);
    bench.app.language_option = option;
    ASSERT_TRUE(bench.app.start_up_once()) << settings;
    EXPECT_EQ(language_base(), expected) << settings;
    EXPECT_EQ(bench.app.window_title(),
              resource_text(expected + msg::kApplicationTitle) + " ver 1.000");
  }
}

}  // namespace
}  // namespace qv82::test
