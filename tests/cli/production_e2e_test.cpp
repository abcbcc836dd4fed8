// qv82hs-cli production-test and test against qv82hs-sim over a
// pseudo-terminal, with the installed data files in a working directory.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <signal.h>
#include <sstream>
#include <thread>

#include "diagnostics/csv.h"
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
  make_too_warm();
  const RunResult result = cli({"production-test"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("Temp error, value = 19\n"), std::string::npos) << result.err;
  EXPECT_EQ(result.out.substr(result.out.rfind("Test solenoid")),
            "Test solenoid and output\nERROR!!! Change device\n");
}

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
  ASSERT_EQ(cli({"production-test"}).status, 0);
  make_too_warm();
  ASSERT_EQ(cli({"production-test"}).status, 1);

  const std::vector<std::string> lines = lines_of(read_file(dir + "/production_log.csv"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("tested_at,product_code,serial_number,", 0), 0u);
  // Serial number, verdict, the failing step and its message, DIP, opto,
  // the readings (temperature 25) and the calibration written.
  EXPECT_TRUE(std::regex_search(lines[1], std::regex(",1234567,[^,]*,PASS,,,[0-9A-F]{2},[0-9A-F]{2},"
                                                     "[0-9A-F]{2},(\\d+,){8}25,\\d+,\\d+,\\d+\r$")))
      << lines[1];
  EXPECT_TRUE(std::regex_search(
      lines[2], std::regex(",1234567,[^,]*,FAIL,Analogue test,\"Temp error, value = 19\",.*,25,,,\r$")))
      << lines[2];

  const RunResult report = cli({"production-report", dir + "/production_log.csv"});
  EXPECT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(report.out,
            "Tests: 2\nUnits: 1\nPassed: 1\nFailed: 1\nPass rate: 50.0 %\n"
            "Failures by step:\n  Analogue test: 1\n"
            "Tested more than once:\n  1234567: 2 tests, latest FAIL (Analogue test) at " +
                lines[2].substr(0, lines[2].find(',')) + "\n");
}

TEST_F(ProductionEndToEnd, ARecordThatCannotBeWrittenStopsTheTestBeforeTheDevice) {
  SimOnPty sim({"--link", link});
  const std::string folder = dir + "/record";
  std::filesystem::create_directory(folder);
  const RunResult result = cli({"--log", dir + "/log.txt", "production-test", "--record", folder});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Cannot write the production record " + folder + ": it is a folder\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(read_file(dir + "/log.txt"), "") << "nothing was sent to the device";
}

TEST_F(ProductionEndToEnd, AKilledLoopLeavesEveryEarlierLineWholeAndNoTornLine) {
  SimOnPty sim({"--link", link});
  const std::string record = dir + "/units.csv";
  ASSERT_EQ(cli({"production-test", "--record", record}).status, 0);
  make_too_warm();
  ASSERT_EQ(cli({"production-test", "--record", record}).status, 1);
  const std::string before = read_file(record);

  for (int delay_ms : {300, 1500, 2500}) {
    RunningProgram loop(cli_binary(), {"--port", link, "--workdir", dir, "production-test",
                                       "--loop", "--record", record});
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    loop.signal(SIGKILL);
    loop.wait();
    const std::string after = read_file(record);
    EXPECT_EQ(after.substr(0, before.size()), before);
    EXPECT_TRUE(after.empty() || after.back() == '\n') << "a line cut short";
    const CsvTable table = parse_csv(after);
    EXPECT_FALSE(table.torn_tail);
    for (const auto& fields : table.records) EXPECT_EQ(fields.size(), 22u);
  }
}

TEST_F(ProductionEndToEnd, TestShowsOneTickOfTheWindow) {
  SimOnPty sim({"--link", link});
  const std::string log = dir + "/comm.log";
  const RunResult result = cli({"--log", log, "test"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("  SW1: 1=ON 2=off 3=ON 4=off 5=off 6=off\n"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  AM1 = 1000 mV\n"), std::string::npos);
  EXPECT_NE(result.out.find("  Vcc = 12  V\n"), std::string::npos);
  EXPECT_NE(result.out.find("  T = 25 \u00B0C\n"), std::string::npos);
  // Reading drives no output: no E9 (latch) or EE (impulse) request.
  std::ifstream sent(log);
  for (std::string line; std::getline(sent, line);) {
    if (line.rfind("-> ", 0) != 0 || line.size() < 11) continue;
    const std::string header = line.substr(9, 2);
    EXPECT_TRUE(header != "E9" && header != "EE") << line;
  }
}

TEST_F(ProductionEndToEnd, LoopStopsOnASignalWithTheDeviceStillConnected) {
  const struct {
    const char* name;
    int signal;
    bool passing;
    int status;
  } cases[] = {
      // Stopped between devices after nothing but passes.
      {"SIGINT after a pass", SIGINT, true, 0},
      {"SIGINT after a failure", SIGINT, false, 130},
      {"SIGTERM after a failure", SIGTERM, false, 143},
  };
  const std::string limits_path = dir + "/Production.ini";
  std::string limits;
  {
    std::ifstream in(limits_path);
    limits.assign(std::istreambuf_iterator<char>(in), {});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // 25 degrees is too warm for a limit of 0x14 (20).
    std::ofstream(limits_path) << (c.passing ? limits
                                             : std::regex_replace(limits, std::regex("T_MAX=3C"),
                                                                  "T_MAX=14"));
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
