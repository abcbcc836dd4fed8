// qv82hs-cli production-test, production-report and test against qv82hs-sim over a
// pseudo-terminal.
#include <gtest/gtest.h>
#include <signal.h>

#include <regex>

#include "cli/cli_bench.h"

namespace qv82::test {
namespace {

// 25 degrees is too warm for a limit of 0x14 (20).
void make_too_warm(const CliBench& bench) {
  bench.dir.write("Production.ini", std::regex_replace(bench.dir.read("Production.ini"),
                                                       std::regex("T_MAX=3C"), "T_MAX=14"));
}

TEST(ProductionEndToEnd, EveryTestedDeviceLandsInTheRecordAndTheReportCountsIt) {
  CliBench bench;
  SimOnPty sim(bench.sim({}));
  const RunResult tick = bench.cli({"test"});
  EXPECT_EQ(tick.status, 0) << tick.err;
  EXPECT_NE(tick.out.find("  SW1: 1=ON 2=off 3=ON 4=off 5=off 6=off\n"), std::string::npos)
      << tick.out;
  EXPECT_NE(tick.out.find("  T = 25 \u00B0C\n"), std::string::npos);

  // The printed steps are the same in every language.
  const RunResult passed = bench.cli({"--language", "IT", "production-test"});
  EXPECT_EQ(passed.status, 0) << passed.err;
  EXPECT_EQ(passed.out,
            "Product code test\nDIP switch test\nTest optic pairs\nTest solenoid and output\n"
            "Insertion test\nTest OK, change device\n");
  make_too_warm(bench);
  const RunResult failed = bench.cli({"production-test"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("Temp error, value = 19\n"), std::string::npos) << failed.err;
  EXPECT_TRUE(failed.out.ends_with("Test solenoid and output\nERROR!!! Change device\n"))
      << failed.out;

  const std::string record = bench.dir.read("production_log.csv");
  ASSERT_EQ(std::count(record.begin(), record.end(), '\n'), 3);
  const std::string last = record.substr(record.rfind('\n', record.size() - 2) + 1);
  // The report's own lines name the record's time of the failed test.
  const RunResult report = bench.cli({"production-report", bench.file("production_log.csv")});
  EXPECT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(report.out,
            "Tests: 2\nUnits: 1\nPassed: 1\nFailed: 1\nPass rate: 50.0 %\n"
            "Failures by step:\n  Analogue test: 1\n"
            "Tested more than once:\n  1234567: 2 tests, latest FAIL (Analogue test) at " +
                last.substr(0, last.find(',')) + "\n");
}

// Stopped between devices, the loop ends with the signal's own status and its summary.
TEST(ProductionEndToEnd, LoopStopsOnASignalWithTheDeviceStillConnected) {
  CliBench bench;
  make_too_warm(bench);
  SimOnPty sim(bench.sim({}));
  RunningProgram loop(cli_binary(), bench.args({"production-test", "--loop"}));
  ASSERT_TRUE(loop.wait_until(
      [](const RunResult& r) {
        return r.out.find("ERROR!!! Change device\n") != std::string::npos;
      },
      60));
  loop.signal(SIGTERM);
  const RunResult result = loop.finish(20);
  EXPECT_EQ(result.status, 143) << result.err;
  EXPECT_NE(result.out.find("Devices tested: 1, passed: 0, failed: 1\n"), std::string::npos)
      << result.out;
}

}  // namespace
}  // namespace qv82::test
