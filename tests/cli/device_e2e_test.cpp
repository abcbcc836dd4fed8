// qv82hs-cli finds and identifies qv82hs-sim over a pseudo-terminal, with
// the installation's qv82hs.ini in a working directory of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/processes.h"

namespace qv82::test {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class DeviceEndToEnd : public ::testing::Test {
 protected:
  DeviceEndToEnd()
      : dir(make_temp_dir()), link(dir + "/qv82"), sim({"--address", "3", "--link", link}) {
    std::filesystem::copy_file(QV82_SOURCE_DIR "/data/qv82hs.ini", dir + "/qv82hs.ini");
  }
  ~DeviceEndToEnd() override {
    sim.stop();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  RunResult cli(std::vector<std::string> args) {
    std::vector<std::string> all = {"--port", link, "--workdir", dir};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }

  std::string dir;
  std::string link;
  SimOnPty sim;
};

TEST_F(DeviceEndToEnd, SearchFindsTheDeviceAndRemembersIt) {
  const RunResult result = cli({"search"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Coin selector with address 3 found at  " + link + "\n");
  const std::string settings = read_file(dir + "/qv82hs.ini");
  EXPECT_NE(settings.find("ComPort=" + link + "\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("ccTalkAddr=03\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Stop time min=05\n"), std::string::npos) << "the rest is kept";
}

TEST_F(DeviceEndToEnd, IdentifyPrintsTheSixFields) {
  const RunResult result = cli({"identify"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Product code: QV82\n"
            "Serial number: 1234567\n"
            "Build code: B01\n"
            "Software revision: QV82HS-1.02\n"
            "Production date: 2007/3/9\n"
            "Last modification date: 2010/6/15\n");
  // The search's own message stays off stdout.
  EXPECT_NE(result.err.find("found at"), std::string::npos) << result.err;

  const RunResult at_address = cli({"--address", "3", "identify"});
  EXPECT_EQ(at_address.status, 0) << at_address.err;
  EXPECT_EQ(at_address.out, result.out);
}

TEST_F(DeviceEndToEnd, FailuresAndUsage) {
  const RunResult nobody = cli({"--address", "9", "identify"});
  EXPECT_EQ(nobody.status, 1);
  EXPECT_TRUE(nobody.out.empty());
  EXPECT_NE(nobody.err.find("Coin selector not found!9"), std::string::npos) << nobody.err;

  for (const auto& args :
       std::vector<std::vector<std::string>>{{"read", "07G0", "4"},
                                             {"read", "0750", "0"},
                                             {"write", "0750", "ABC"},
                                             {"set-address", "255"},
                                             {"set-pin", "1234567", "12345678"}}) {
    EXPECT_EQ(cli(args).status, 64) << args[0] << " " << args[1];
  }
}

TEST_F(DeviceEndToEnd, ReadAndWriteMemory) {
  const RunResult written = cli({"--address", "3", "write", "07F0", "A5"});
  EXPECT_EQ(written.status, 0) << written.err;
  const RunResult read = cli({"--address", "3", "read", "07F0", "1"});
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "A5\n");
}

}  // namespace
}  // namespace qv82::test
