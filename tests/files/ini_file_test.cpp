#include "files/ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void put(const std::string& text) { dir.write("qv82hs.ini", text); }
  std::string get() const { return dir.read("qv82hs.ini"); }
  std::size_t entries() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
  }

  TempDir dir;
  const std::string path = dir.file("qv82hs.ini");
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
  IniFile ini(path);
  EXPECT_EQ(ini.section_names(), (std::vector<std::string>{"SETTINGS", "Displays", "Warnings"}));
  EXPECT_EQ(ini.section_keys("displays"),
            (std::vector<std::string>{"LCD 2x16", "Show: credit and value", "No display"}));
  const struct {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"settings", "comport", "COM3"},
      {"SETTINGS", "STOP TIME MIN", "05"},  // blanks around key and value dropped
      {"Displays", "lcd 2x16", "1"},  // the first of two equal keys
      {"Displays", "No display", ""},
      {"SETTINGS", "ccTalkAddr", "02"},  // missing key: default
      {"Warnings", "ComPort", "-"},      // key of another section is not found
  };
  for (const auto& c : cases) {
    const char* fallback = std::string(c.expected).empty() ? "unused" : c.expected;
    EXPECT_EQ(ini.read_string(c.section, c.key, fallback), c.expected) << c.section << c.key;
  }
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedByTheFirstWrite) {
  IniFile ini(path);
  EXPECT_TRUE(ini.section_names().empty());
  ASSERT_TRUE(ini.write_string("SETTINGS", "ComPort", "COM5")) << ini.last_error();
  EXPECT_EQ(get(), "[SETTINGS]\nComPort=COM5\n");
}

TEST_F(IniFileTest, WriteChangesOneLineAndKeepsTheRest) {
  put(kSettings);
  IniFile ini(path);
  ASSERT_TRUE(ini.write_string("settings", "STOP TIME MIN", "0A"));
  ASSERT_TRUE(ini.write_string("SETTINGS", "ccTalkAddr", "03"));
  ASSERT_TRUE(ini.write_string("Displays", "LCD 2x16", "2"));
  ASSERT_TRUE(ini.write_string("COIN PROG", "MIN_INSERTION", "0F"));
  std::string expected = kSettings;
  expected.replace(expected.find("=  05  "), 7, "=  0A");
  expected.insert(expected.find("\n[Displays]"), "ccTalkAddr=03\n");
  expected.replace(expected.find("LCD 2x16=1"), 10, "LCD 2x16=2");
  EXPECT_EQ(get(), expected + "\n[COIN PROG]\nMIN_INSERTION=0F\n");
  EXPECT_EQ(entries(), 1u) << "no temporary left";

  // Nothing that would break the file is written.
  EXPECT_FALSE(ini.write_string("SETTINGS", "Com=Port", "1"));
  EXPECT_FALSE(ini.write_string("SETTINGS", "ComPort", "COM3\n[SETTINGS]"));
  EXPECT_FALSE(ini.write_string("SET]TINGS", "ComPort", "COM3"));
  EXPECT_FALSE(ini.write_string("SETTINGS", " ", "COM3"));
  EXPECT_FALSE(ini.last_error().empty());
  EXPECT_EQ(get(), expected + "\n[COIN PROG]\nMIN_INSERTION=0F\n");
}

TEST_F(IniFileTest, KeepsCrLfLineEndings) {
  put("[SETTINGS]\r\nComPort=COM3\r\n\r\n[Other]\r\nA=1");  // no line break at the end
  IniFile ini(path);
  ASSERT_TRUE(ini.write_string("SETTINGS", "ComPort", "COM4"));
  ASSERT_TRUE(ini.write_string("Other", "B", "2"));
  ASSERT_TRUE(ini.write_string("New", "C", "3"));
  EXPECT_EQ(get(),
            "[SETTINGS]\r\nComPort=COM4\r\n\r\n[Other]\r\nA=1\r\nB=2\r\n\r\n[New]\r\nC=3\r\n");
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileIntact) {
  put(kSettings);
  IniFile gone(dir.file("gone/qv82hs.ini"));
  EXPECT_FALSE(gone.write_string("SETTINGS", "ComPort", "COM4"));
  EXPECT_NE(gone.last_error().find("gone"), std::string::npos) << gone.last_error();

#ifndef _WIN32
  // The disk refuses the data part way (file size limit): the old file stays whole.
  IniFile ini(path);
  bool written = true;
  {
    const FileSizeLimit disk_full(16);
    ASSERT_TRUE(disk_full.active());
    written = ini.write_string("SETTINGS", "ComPort", "COM4");
  }
  EXPECT_FALSE(written);
  EXPECT_FALSE(ini.last_error().empty());
  EXPECT_EQ(get(), kSettings);
  EXPECT_EQ(entries(), 1u);
#endif
}

// The parsed file is kept between lookups; every way the file can change
// under it must still show at the next lookup.
TEST_F(IniFileTest, KeptParseFollowsEveryChangeOfTheFile) {
  struct Case {
    const char* name;
    std::function<void()> change;
    const char* expected;
  };
  const Case cases[] = {
      {"same size, an old file rewritten",
       [this] { std::ofstream(path, std::ios::binary | std::ios::in) << "[S]\nK=COM5\n"; },
       "COM5"},
      {"other size, old time kept",
       [this] {
         const auto time = fs::last_write_time(path);
         put("[S]\nK=COM10\n");
         fs::last_write_time(path, time);
       },
       "COM10"},
      {"removed", [this] { fs::remove(path); }, "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    put("[S]\nK=COM3\n");
    // Written an hour ago: its time alone tells a change.
    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
    IniFile ini(path);
    ASSERT_EQ(ini.read_string("S", "K", "none"), "COM3");
    c.change();
    EXPECT_EQ(ini.read_string("S", "K", "none"), c.expected);
  }
}

}  // namespace
}  // namespace qv82::test
