// The programs as installed: --version, and the data folder a command
// line started from an empty folder uses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/processes.h"

namespace qv82::test {
namespace {

namespace fs = std::filesystem;

TEST(Installed, VersionIsOneLineOfNameAndVersion) {
  for (const auto& [binary, name] :
       {std::pair{cli_binary(), "qv82hs-cli"}, std::pair{sim_binary(), "qv82hs-sim"}}) {
    const RunResult result = run_program(binary, {"--version"});
    EXPECT_EQ(result.status, 0) << name;
    EXPECT_EQ(result.out, std::string(name) + " 1.000\n");
    EXPECT_EQ(result.err, "");
  }
}

TEST(Installed, HelpTellsWhereTheDataFilesAre) {
  const RunResult result = run_program(cli_binary(), {"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("~/.config/qv82hs"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("--version"), std::string::npos);
}

// A copy of the command line in PREFIX/bin with its data in
// PREFIX/share/qv82hs, run from an empty folder with a fresh home.
TEST(Installed, FromAnEmptyFolderTheSettingsGoToTheUsersFolder) {
  const fs::path root = make_temp_dir();
  fs::create_directories(root / "usr/bin");
  fs::create_directories(root / "usr/share/qv82hs");
  fs::create_directories(root / "home");
  fs::create_directories(root / "empty");
  fs::copy_file(cli_binary(), root / "usr/bin/qv82hs-cli");
  for (const char* name : {"qv82hs.ini", "io.ini", "template.xml", "Production.ini"}) {
    fs::copy_file(fs::path(QV82_SOURCE_DIR "/data") / name, root / "usr/share/qv82hs" / name);
  }
  const std::string saved_home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  const fs::path saved_dir = fs::current_path();
  setenv("HOME", (root / "home").c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  fs::current_path(root / "empty");
  // Without the installation's [SUPPORTED TYPES] the device would be refused.
  const RunResult result =
      run_program((root / "usr/bin/qv82hs-cli").string(), {"--simulate", "identify"});
  fs::current_path(saved_dir);
  setenv("HOME", saved_home.c_str(), 1);

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Product code: QV82"), std::string::npos) << result.out;
  for (const char* name : {"qv82hs.ini", "io.ini", "template.xml", "Production.ini"}) {
    EXPECT_TRUE(fs::exists(root / "home/.config/qv82hs" / name)) << name;
  }
  EXPECT_TRUE(fs::is_empty(root / "empty"));
}

}  // namespace
}  // namespace qv82::test
