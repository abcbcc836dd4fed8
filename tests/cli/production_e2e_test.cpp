// qv82hs-cli production-test and test against qv82hs-sim over a
// pseudo-terminal, with the installed data files in a working directory.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

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
  RunResult cli(std::vector<std::string> args) {
    std::vector<std::string> all = {"--port", link, "--workdir", dir};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }

  // 25 degrees is too warm for a limit of 0x14 (20).
  void make_too_warm() {
    const std::string limits = read_limits();
    std::ofstream(dir + "/Production.ini")
        << std::regex_replace(limits, std::regex("T_MAX=3C"), "T_MAX=14");
  }
  std::string read_limits() {
    std::ifstream in(dir + "/Production.ini");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string dir;
  std::string link;
};

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(ProductionEndToEnd, EveryTestedDeviceLandsInTheRecordAndTheReportCountsIt) {
  SimOnPty sim({"--link", link});
  // The printed steps are the same in every language.
  const RunResult passed = cli({"--language", "IT", "production-test"});
  EXPECT_EQ(passed.status, 0) << passed.err;
  EXPECT_EQ(passed.out,
            "Product code test\nDIP switch test\nTest optic pairs\nTest solenoid and output\n"
            "Insertion test\nTest OK, change device\n");
  make_too_warm();
  const RunResult failed = cli({"production-test"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("Temp error, value = 19\n"), std::string::npos) << failed.err;
  EXPECT_EQ(failed.out.substr(failed.out.rfind("Test solenoid")),
            "Test solenoid and output\nERROR!!! Change device\n");

  const std::vector<std::string> lines = lines_of(read_file(dir + "/production_log.csv"));
  ASSERT_EQ(lines.size(), 3u);
  // The report's own lines name the record's time of the failed test.
  const RunResult report = cli({"production-report", dir + "/production_log.csv"});
  EXPECT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(report.out,
            "Tests: 2\nUnits: 1\nPassed: 1\nFailed: 1\nPass rate: 50.0 %\n"
            "Failures by step:\n  Analogue test: 1\n"
            "Tested more than once:\n  1234567: 2 tests, latest FAIL (Analogue test) at " +
                lines[2].substr(0, lines[2].find(',')) + "\n");
}

TEST_F(ProductionEndToEnd, TestShowsOneTickOfTheWindow) {
  SimOnPty sim({"--link", link});
  const RunResult result = cli({"test"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("  SW1: 1=ON 2=off 3=ON 4=off 5=off 6=off\n"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  T = 25 \u00B0C\n"), std::string::npos);
}

TEST_F(ProductionEndToEnd, LoopStopsOnASignalWithTheDeviceStillConnected) {
  const struct {
    const char* name;
    int signal;
    bool passing;
    int status;
  } cases[] = {
      // Stopped between devices after nothing but passes. Both signals take the
      // same way out, with the signal's own status.
      {"SIGINT after a pass", SIGINT, true, 0},
      {"SIGTERM after a failure", SIGTERM, false, 143},
  };
  const std::string limits = read_limits();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.passing) {
      std::ofstream(dir + "/Production.ini") << limits;
    } else {
      make_too_warm();
    }
    SimOnPty sim({"--link", link});
    RunningProgram loop(cli_binary(),
                        {"--port", link, "--workdir", dir, "production-test", "--loop"});
    // A passed device stays in the insertion test until it is taken away.
    const char* verdict = c.passing ? "Insertion test\n" : "ERROR!!! Change device\n";
    ASSERT_TRUE(loop.wait_for_output(verdict, 60));
    loop.signal(c.signal);
    const RunResult result = loop.finish(20);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.out.find(c.passing ? "Devices tested: 1, passed: 1, failed: 0\n"
                                        : "Devices tested: 1, passed: 0, failed: 1\n"),
              std::string::npos)
        << result.out;
  }
}

}  // namespace
}  // namespace qv82::test
