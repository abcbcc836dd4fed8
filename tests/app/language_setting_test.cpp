#include <gtest/gtest.h>

#include <string>

#include "app/application.h"
#include "lang/language.h"
#include "sim/simulated_setup.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

struct LanguageBench {
  explicit LanguageBench(const std::string& settings)
      : app(setup.line(), setup.clock(), ui, dir.path()) {
    dir.write("qv82hs.ini", settings);
  }
  ~LanguageBench() { set_language_base(kEnglishBase); }
  TempDir dir;
  sim::SimulatedSetup setup;
  FakeUi ui;
  Application app;
};

// What the user wrote in the settings file decides the language of start-up;
// anything the program does not know is English, never a blank window.
TEST(LanguageSetting, StartUpSpeaksTheLanguageOfTheSetting) {
  struct Case {
    const char* settings;
    int option;
    int expected;
  };
  const Case cases[] = {
      {"[SETTINGS]\nLanguage=IT\n", 0, kItalianBase},
      {"[settings]\nlanguage = hr\n", 0, kCroatianBase},
      {"[SETTINGS]\nLanguage=FR\n", 0, kEnglishBase},
      {"[SETTINGS]\nLanguage=\n", 0, kEnglishBase},
      {"[SETTINGS]\nComPort=COM1\n", 0, kEnglishBase},
      // The command line wins for the run.
      {"[SETTINGS]\nLanguage=IT\n", kCroatianBase, kCroatianBase},
  };
  for (const Case& c : cases) {
    LanguageBench bench(c.settings);
    bench.app.language_option = c.option;
    ASSERT_TRUE(bench.app.start_up_once()) << c.settings;
    EXPECT_EQ(language_base(), c.expected) << c.settings;
    EXPECT_EQ(bench.app.window_title(),
              resource_text(c.expected + msg::kApplicationTitle) + " ver 1.000");
  }
}

TEST(LanguageSetting, ChoosingALanguageRedrawsAndIsRememberedInPlace) {
  const std::string settings =
      "; kept\n[SETTINGS]\nComPort=ttyS7\nLanguage=FR\nccTalkAddr=02\n[Displays]\nLCD=\n";
  LanguageBench bench(settings);
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
