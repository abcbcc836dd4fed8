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

TEST(Application, BrokenNumberInSettingsStopsStartUp) {
  for (const auto& [settings, key] :
       {std::pair<std::string, std::string>{"[SETTINGS]\nccTalkAddr=0x3\n", "ccTalkAddr"},
        {"[SETTINGS]\nStop time min=\n", "Stop time min"}}) {
    SCOPED_TRACE(settings);
    AppBench bench(settings);
    bool template_loaded = false;
    bench.app.hooks.load_template = [&](const std::string&) { template_loaded = true; };
    EXPECT_FALSE(bench.app.start_up_once());
    ASSERT_EQ(bench.ui.errors().size(), 1u);
    const std::string error = bench.ui.errors()[0];
    EXPECT_NE(error.find("[SETTINGS] " + key + " in " + bench.dir.file("qv82hs.ini")),
              std::string::npos)
        << error;
    EXPECT_TRUE(bench.setup.device().requests().empty());
    EXPECT_FALSE(template_loaded);
  }
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

TEST(Application, ScreenResolutionAdvice) {
  for (const auto& [width, height, advised] :
       {std::tuple{1024, 768, false}, std::tuple{1024, 767, true}, std::tuple{800, 900, true}}) {
    AppBench bench;
    bench.app.hooks.screen_size = [w = width, h = height] { return std::pair{w, h}; };
    bench.app.start_up();
    const auto infos = bench.ui.informations();
    EXPECT_EQ(!infos.empty() && infos[0] == "Recomended screen resolution is 1024 x 768", advised)
        << width << "x" << height;
  }
}

TEST(Application, ToolBarOpensWindowsOnlyForAConnectedDevice) {
  AppBench bench;
  ASSERT_TRUE(bench.app.start_up_once());
  int tests = 0, erase = 0, closed = 0;
  bench.app.hooks.open_test = [&] { ++tests; };
  bench.app.hooks.open_erase = [&] { ++erase; };
  bench.app.hooks.open_firmware_download = [] { return false; };
  bench.app.hooks.close_main_window = [&] { ++closed; };

  EXPECT_TRUE(bench.app.run_test());
  EXPECT_TRUE(bench.app.erase());
  bench.ui.clear();
  bench.app.upgrade_firmware();  // the search follows the firmware window
  EXPECT_EQ(bench.ui.informations().size(), 1u);

  bench.ui.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(bench.app.exit());
  EXPECT_TRUE(bench.app.exit());
  EXPECT_EQ(closed, 1);

  // A device that has gone opens no window.
  bench.app.link.device_address = 9;
  EXPECT_FALSE(bench.app.run_test());
  EXPECT_FALSE(bench.app.erase());
  EXPECT_EQ(tests, 1);
  EXPECT_EQ(erase, 1);
}

// Start-up and language changes set the process-wide language; English again after each.
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

TEST_F(LanguageSetting, ChoosingALanguageRedrawsAndIsRememberedInPlace) {
  const std::string settings =
      "; kept\n[SETTINGS]\nComPort=ttyS7\nLanguage=FR\nccTalkAddr=02\n[Displays]\nLCD=\n";
  AppBench bench(settings);
  int redraws = 0;
  bench.app.hooks.load_language_texts = [&] { ++redraws; };

  ASSERT_TRUE(bench.app.change_language(kCroatianBase));
  EXPECT_EQ(language_text(msg::kLanguageName), "Hrvatski");
  EXPECT_EQ(redraws, 1);
  std::string expected = settings;
  expected.replace(expected.find("FR"), 2, "HR");
  EXPECT_EQ(bench.dir.read("qv82hs.ini"), expected);

  // Nothing went to the device.
  EXPECT_TRUE(bench.setup.device().requests().empty());

  EXPECT_FALSE(bench.app.change_language(4000));
  EXPECT_EQ(language_base(), kCroatianBase);
  EXPECT_EQ(redraws, 1);
}

}  // namespace
}  // namespace qv82::test
