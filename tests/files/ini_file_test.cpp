#include "files/ini_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace qv82 {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(test::make_temp_dir()) /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(dir_);
    path_ = (dir_ / "qv82hs.ini").string();
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }

  void put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string get() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  std::vector<std::string> dir_entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  fs::path dir_;
  std::string path_;
};

const char kSettings[] =
    "; settings of the programming utility\n"
    "[SETTINGS]\n"
    "ComPort=COM3\n"
    "  Stop time min =  05  \n"
    "Time base=0096\n"
    "\n"
    "[Displays]\n"
    "LCD 2x16=1\n"
    "Show: credit and value = 3\n"
    "No display\n"
    "lcd 2X16=shadowed\n"
    "\n"
    "; lists\n"
    "[Warnings]\n"
    "Time out warning=off\n";

TEST_F(IniFileTest, ReadsNamesAndValuesWithoutRegardToCase) {
  put(kSettings);
  IniFile ini(path_);

  EXPECT_EQ(ini.section_names(), (std::vector<std::string>{"SETTINGS", "Displays", "Warnings"}));
  EXPECT_EQ(ini.section_keys("displays"),
            (std::vector<std::string>{"LCD 2x16", "Show: credit and value", "No display"}));
  EXPECT_TRUE(ini.section_keys("Missing").empty());
  EXPECT_TRUE(ini.section_exists("warnings"));
  EXPECT_FALSE(ini.section_exists("COINPROG"));

  const struct {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"settings", "comport", "COM3"},
      {"SETTINGS", "STOP TIME MIN", "05"},  // blanks around key and value dropped
      {"Displays", "show: credit and value", "3"},
      {"Displays", "lcd 2x16", "1"},  // the first of two equal keys
      {"Displays", "No display", ""},
      {"SETTINGS", "ccTalkAddr", "02"},  // missing key: default
      {"Nowhere", "ComPort", "COM9"},    // missing section: default
      {"Warnings", "ComPort", "-"},      // key of another section is not found
  };
  for (const auto& c : cases) {
    const char* fallback = std::string(c.expected).empty() ? "unused" : c.expected;
    EXPECT_EQ(ini.read_string(c.section, c.key, fallback), c.expected) << c.section << c.key;
  }
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedByTheFirstWrite) {
  IniFile ini(path_);
  EXPECT_TRUE(ini.section_names().empty());
  EXPECT_EQ(ini.read_string("SETTINGS", "ComPort", "COM3"), "COM3");

  ASSERT_TRUE(ini.write_string("SETTINGS", "ComPort", "COM5")) << ini.last_error();
  EXPECT_EQ(get(), "[SETTINGS]\nComPort=COM5\n");
}

TEST_F(IniFileTest, WriteChangesOneLineAndKeepsTheRest) {
  put(kSettings);
  IniFile ini(path_);
  ASSERT_TRUE(ini.write_string("settings", "STOP TIME MIN", "0A"));
  ASSERT_TRUE(ini.write_string("SETTINGS", "ccTalkAddr", "03"));
  ASSERT_TRUE(ini.write_string("Displays", "LCD 2x16", "2"));
  ASSERT_TRUE(ini.write_string("COIN PROG", "MIN_INSERTION", "0F"));

  EXPECT_EQ(get(),
            "; settings of the programming utility\n"
            "[SETTINGS]\n"
            "ComPort=COM3\n"
            "  Stop time min =  0A\n"
            "Time base=0096\n"
            "ccTalkAddr=03\n"
            "\n"
            "[Displays]\n"
            "LCD 2x16=2\n"
            "Show: credit and value = 3\n"
            "No display\n"
            "lcd 2X16=shadowed\n"
            "\n"
            "; lists\n"
            "[Warnings]\n"
            "Time out warning=off\n"
            "\n"
            "[COIN PROG]\n"
            "MIN_INSERTION=0F\n");
  EXPECT_EQ(dir_entries(), std::vector<std::string>{"qv82hs.ini"});  // no temporary left
}

TEST_F(IniFileTest, KeepsCrLfLineEndings) {
  put("[SETTINGS]\r\nComPort=COM3\r\n\r\n[Other]\r\nA=1");  // no line break at the end
  IniFile ini(path_);
  EXPECT_EQ(ini.read_string("SETTINGS", "ComPort", ""), "COM3");
  ASSERT_TRUE(ini.write_string("SETTINGS", "ComPort", "COM4"));
  ASSERT_TRUE(ini.write_string("Other", "B", "2"));
  ASSERT_TRUE(ini.write_string("New", "C", "3"));
  EXPECT_EQ(get(),
            "[SETTINGS]\r\nComPort=COM4\r\n\r\n[Other]\r\nA=1\r\nB=2\r\n\r\n[New]\r\nC=3\r\n");
}

TEST_F(IniFileTest, SeesChangesOfAnotherWriterAndKeepsThem) {
  put("[SETTINGS]\nComPort=COM3\n");
  IniFile ini(path_);
  EXPECT_EQ(ini.read_string("SETTINGS", "ComPort", ""), "COM3");
  put("[SETTINGS]\nComPort=COM7\nTime base=0100\n");
  EXPECT_EQ(ini.read_string("SETTINGS", "ComPort", ""), "COM7");
  ASSERT_TRUE(ini.write_string("SETTINGS", "ccTalkAddr", "02"));
  EXPECT_EQ(get(), "[SETTINGS]\nComPort=COM7\nTime base=0100\nccTalkAddr=02\n");
}

TEST_F(IniFileTest, RefusesNamesAndValuesThatWouldBreakTheFile) {
  put(kSettings);
  IniFile ini(path_);
  EXPECT_FALSE(ini.write_string("SETTINGS", "Com=Port", "1"));
  EXPECT_FALSE(ini.write_string("SETTINGS", "ComPort", "COM3\n[SETTINGS]"));
  EXPECT_FALSE(ini.write_string("SET]TINGS", "ComPort", "COM3"));
  EXPECT_FALSE(ini.write_string("SETTINGS", " ", "COM3"));
  EXPECT_FALSE(ini.last_error().empty());
  EXPECT_EQ(get(), kSettings);
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileIntact) {
  put(kSettings);

  // A directory that no longer exists.
  IniFile gone((dir_ / "gone" / "qv82hs.ini").string());
  EXPECT_FALSE(gone.write_string("SETTINGS", "ComPort", "COM4"));
  EXPECT_NE(gone.last_error().find("gone"), std::string::npos) << gone.last_error();

#ifndef _WIN32
  // The disk refuses the data part way (file size limit): the old file stays whole.
  IniFile ini(path_);
  rlimit old_limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = ini.write_string("SETTINGS", "ComPort", "COM4");
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  EXPECT_FALSE(ini.last_error().empty());
  EXPECT_EQ(get(), kSettings);
  EXPECT_EQ(dir_entries(), std::vector<std::string>{"qv82hs.ini"});
#endif
}

TEST_F(IniFileTest, WriteIntoReadOnlyDirectoryFailsCleanly) {
  put(kSettings);
  IniFile ini(path_);
  // Not enforced for a privileged user.
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  if (std::ofstream(dir_ / "probe")) GTEST_SKIP() << "directory permissions are not enforced";
  EXPECT_FALSE(ini.write_string("SETTINGS", "ComPort", "COM4"));
  EXPECT_NE(ini.last_error().find(path_), std::string::npos) << ini.last_error();
  EXPECT_EQ(get(), kSettings);
}

}  // namespace
}  // namespace qv82

namespace qv82 {
namespace {

// The parsed file is kept between lookups; every way the file can change
// under it must still show at the next lookup.
TEST_F(IniFileTest, KeptParseFollowsEveryChangeOfTheFile) {
  const auto age = [this] {
    fs::last_write_time(path_, fs::last_write_time(path_) - std::chrono::hours(1));
  };
  struct Case {
    const char* name;
    bool old_file;  // written an hour ago: its time alone tells a change
    std::function<void()> change;
    const char* expected;
  };
  const Case cases[] = {
      {"same size, written at once", false, [this] { put("[S]\nK=COM4\n"); }, "COM4"},
      {"same size, an old file rewritten", true,
       [this] { std::ofstream(path_, std::ios::binary | std::ios::in) << "[S]\nK=COM5\n"; },
       "COM5"},
      {"other size, old time kept", true,
       [this] {
         const auto time = fs::last_write_time(path_);
         put("[S]\nK=COM10\n");
         fs::last_write_time(path_, time);
       },
       "COM10"},
      {"removed", true, [this] { fs::remove(path_); }, "none"},
      {"written through another object", true,
       [this] { IniFile(path_).write_string("S", "K", "COM6"); }, "COM6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put("[S]\nK=COM3\n");
    if (c.old_file) age();
    IniFile ini(path_);
    ASSERT_EQ(ini.read_string("S", "K", "none"), "COM3");
    c.change();
    EXPECT_EQ(ini.read_string("S", "K", "none"), c.expected);
  }
}

TEST_F(IniFileTest, ManyEntriesReadInFileOrderWithTheFirstOfEachName) {
  std::string text = "[Configurations]\n";
  for (int i = 0; i < 3000; ++i)
    text += "Name " + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "name 7=again\n[name 7]\nOutput1=1\n[NAME 7]\nOutput1=2\n";
  put(text);
  IniFile ini(path_);
  const auto keys = ini.section_keys("configurations");
  ASSERT_EQ(keys.size(), 3000u);
  EXPECT_EQ(keys[2999], "Name 2999");
  EXPECT_EQ(ini.read_string("Configurations", "NAME 7", ""), "7");
  EXPECT_EQ(ini.read_string("Name 7", "output1", ""), "1");
}

}  // namespace
}  // namespace qv82
