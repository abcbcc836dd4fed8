#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "lang/language.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

namespace fs = std::filesystem;

// An installed program: bin/ with share/qv82hs beside it, a home, and a
// current folder.
struct Installation {
  Installation() {
    fs::create_directories(root.path() + "/usr/bin");
    fs::create_directories(root.path() + "/usr/share/qv82hs");
    fs::create_directories(root.path() + "/home");
    fs::create_directories(root.path() + "/here");
    for (const char* name : {"qv82hs.ini", "io.ini", "template.xml", "Production.ini"}) {
      root.write(std::string("usr/share/qv82hs/") + name, std::string("installed ") + name);
    }
  }
  // Started from the menu: a home of its own, no config home.
  DataFolderPlaces places() const {
    DataFolderPlaces places = data_folder_places(root.file("here"), root.file("usr/bin"));
    places.home = root.file("home");
    places.config_home = "";
    return places;
  }
  TempDir root;
};

TEST(DataFolder, ChoosesByWhatTheFoldersHold) {
  struct Case {
    const char* name;
    const char* current_file;  // a data file in the current folder, or none
    bool installed;
    const char* config_home;  // relative to the test root, "" unset, "/x" absolute as is
    const char* expected;     // relative to the test root
  } cases[] = {
      {"bench folder", "qv82hs.ini", true, "", "here"},
      {"bench folder with only the template", "template.xml", true, "", "here"},
      {"from the menu", nullptr, true, "", "home/.config/qv82hs"},
      {"from the menu, own config home", nullptr, true, "ABS:cfg", "cfg/qv82hs"},
      {"a relative config home is ignored", nullptr, true, "cfg", "home/.config/qv82hs"},
      {"not installed (build tree)", nullptr, false, "", "here"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Installation inst;
    if (c.current_file != nullptr) inst.root.write(std::string("here/") + c.current_file, "mine");
    if (!c.installed) fs::remove_all(inst.root.file("usr/share/qv82hs"));
    DataFolderPlaces places = inst.places();
    const std::string home(c.config_home);
    places.config_home = home.rfind("ABS:", 0) == 0 ? inst.root.file(home.substr(4)) : home;
    const DataFolder chosen = choose_data_folder(places);
    EXPECT_EQ(chosen.error, "");
    EXPECT_EQ(chosen.path, inst.root.file(c.expected));
    EXPECT_EQ(chosen.per_user, std::string(c.expected) != "here");
    if (chosen.per_user) {
      EXPECT_EQ(inst.root.read(std::string(c.expected) + "/io.ini"), "installed io.ini");
    }
  }
}

TEST(DataFolder, FirstStartFillsLaterStartsKeepTheUsersSettings) {
  Installation inst;
  fs::permissions(inst.root.file("usr/share/qv82hs/qv82hs.ini"), fs::perms::owner_read);
  const DataFolderPlaces places = inst.places();
  ASSERT_EQ(choose_data_folder(places).path, inst.root.file("home/.config/qv82hs"));
  // Installed read-only, the copies are the user's to write.
  const auto perms = fs::status(inst.root.file("home/.config/qv82hs/qv82hs.ini")).permissions();
  EXPECT_NE(perms & fs::perms::owner_write, fs::perms::none);

  inst.root.write("home/.config/qv82hs/qv82hs.ini", "the user's settings");
  fs::remove(inst.root.file("home/.config/qv82hs/Production.ini"));
  choose_data_folder(places);
  EXPECT_EQ(inst.root.read("home/.config/qv82hs/qv82hs.ini"), "the user's settings");
  EXPECT_EQ(inst.root.read("home/.config/qv82hs/Production.ini"), "installed Production.ini");
  EXPECT_EQ(inst.root.read("usr/share/qv82hs/qv82hs.ini"), "installed qv82hs.ini");
  EXPECT_FALSE(fs::exists(inst.root.file("here/qv82hs.ini")));
}

// Package updates: a copy the user never changed follows the installed
// file; a changed one is kept, and said once per installed version.
TEST(DataFolder, UnchangedCopiesFollowUpdatesChangedOnesAreKeptAndSaidOnce) {
  Installation inst;
  const DataFolderPlaces places = inst.places();
  const std::string mine = inst.root.file("home/.config/qv82hs/");
  const std::string installed = inst.root.file("usr/share/qv82hs/");
  EXPECT_TRUE(choose_data_folder(places).notices.empty());

  inst.root.write("usr/share/qv82hs/io.ini", "io 2");
  inst.root.write("usr/share/qv82hs/template.xml", "template 2");
  inst.root.write("home/.config/qv82hs/template.xml", "the user's template");
  const DataFolder updated = choose_data_folder(places);
  EXPECT_EQ(inst.root.read("home/.config/qv82hs/io.ini"), "io 2");
  EXPECT_EQ(inst.root.read("home/.config/qv82hs/template.xml"), "the user's template");
  ASSERT_EQ(updated.notices.size(), 1u);
  EXPECT_NE(updated.notices[0].find(mine + "template.xml"), std::string::npos);
  EXPECT_NE(updated.notices[0].find(installed + "template.xml"), std::string::npos);

  EXPECT_TRUE(choose_data_folder(places).notices.empty()) << "said once";
  inst.root.write("usr/share/qv82hs/template.xml", "template 3");
  EXPECT_EQ(choose_data_folder(places).notices.size(), 1u) << "a newer version again";
  EXPECT_EQ(inst.root.read("home/.config/qv82hs/template.xml"), "the user's template");
}

// The port, address and language the program remembers are not the user's
// change: the settings still follow an update, and keep them. What choosing
// says is said in the language of the settings it will take.
TEST(DataFolder, SettingsWithTheRememberedPortStillFollowAnUpdate) {
  Installation inst;
  inst.root.write("usr/share/qv82hs/qv82hs.ini",
                  "[SETTINGS]\nComPort=COM3\nLanguage=HR\n[SUPPORTED TYPES]\nQV82=\n");
  const DataFolderPlaces places = inst.places();
  EXPECT_EQ(data_folder_language(places), kCroatianBase) << "first start: the installed settings";
  choose_data_folder(places);
  inst.root.write("home/.config/qv82hs/qv82hs.ini",
                  "[SETTINGS]\nComPort=/dev/ttyUSB1\nccTalkAddr=03\nLanguage=IT\n"
                  "[SUPPORTED TYPES]\nQV82=\n");
  EXPECT_EQ(data_folder_language(places), kItalianBase);
  inst.root.write("usr/share/qv82hs/qv82hs.ini",
                  "[SETTINGS]\nComPort=COM3\nLanguage=HR\n[SUPPORTED TYPES]\nQV82=\nQV83=\n");
  EXPECT_TRUE(choose_data_folder(places).notices.empty());
  const std::string settings = inst.root.read("home/.config/qv82hs/qv82hs.ini");
  EXPECT_NE(settings.find("QV83="), std::string::npos) << settings;
  EXPECT_NE(settings.find("ComPort=/dev/ttyUSB1"), std::string::npos) << settings;
  EXPECT_NE(settings.find("ccTalkAddr=03"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Language=IT"), std::string::npos) << settings;
}

}  // namespace
}  // namespace qv82::test
