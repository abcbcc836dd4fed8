// qv82hs-cli production-test and test against qv82hs-sim over a
// pseudo-terminal, with the installed data files in a working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "support/processes.h"

namespace qv82::test {
namespace {

class ProductionEndToEnd : public ::testing::Test {
 protected:
  ProductionEndToEnd() : dir(make_temp_dir()), link(dir + "/qv82") {
    for (const char* name : {"qv82hs.ini", "Production.ini"}) {
      std::filesystem::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name, dir + "/" + name);
    }
  }
  ~ProductionEndToEnd() override {
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
};

TEST_F(ProductionEndToEnd, DeviceWithinTheLimitsPasses) {
  SimOnPty sim({"--link", link});
  const RunResult result = cli({"production-test"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Product code test\nDIP switch test\nTest optic pairs\nTest solenoid and output\n"
            "Insertion test\nTest OK, change device\n");
}

TEST_F(ProductionEndToEnd, DeviceOutsideTheLimitsFailsWithTheValue) {
  SimOnPty sim({"--link", link});
  // 25 degrees is too warm for a limit of 0x14 (20).
  std::string limits;
  {
    std::ifstream in(dir + "/Production.ini");
    limits.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::ofstream(dir + "/Production.ini")
      << std::regex_replace(limits, std::regex("T_MAX=3C"), "T_MAX=14");
  const RunResult result = cli({"production-test"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("Temp error, value = 19\n"), std::string::npos) << result.err;
  EXPECT_EQ(result.out.substr(result.out.rfind("Test solenoid")),
            "Test solenoid and output\nERROR!!! Change device\n");
}

TEST_F(ProductionEndToEnd, TestShowsOneTickOfTheWindow) {
  SimOnPty sim({"--link", link});
  const RunResult result = cli({"test"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("  SW1: 1=ON 2=off 3=ON 4=off 5=off 6=off\n"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  AM1 = 1000 mV\n"), std::string::npos);
  EXPECT_NE(result.out.find("  Vcc = 12  V\n"), std::string::npos);
  EXPECT_NE(result.out.find("  T = 25 \u00B0C\n"), std::string::npos);
}

}  // namespace
}  // namespace qv82::test
