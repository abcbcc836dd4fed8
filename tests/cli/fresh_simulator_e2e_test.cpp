// What a newcomer sees of a fresh simulated coin selector through qv82hs-cli: a configured
// vending selector with a counting history, in-process (--simulate) and behind qv82hs-sim.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/processes.h"

namespace qv82::test {
namespace {

namespace fs = std::filesystem;

struct Workdir {
  Workdir() : dir(make_temp_dir()) {
    for (const char* name : {"qv82hs.ini", "io.ini", "template.xml"}) {
      fs::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name, dir + "/" + name);
    }
  }
  ~Workdir() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
  std::string dir;
};

// The printed statistics rows, their columns one blank apart.
std::vector<std::string> rows(const std::string& out) {
  std::vector<std::string> result;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string word, squeezed;
    while (words >> word) squeezed += (squeezed.empty() ? "" : " ") + word;
    result.push_back(squeezed);
  }
  return result;
}

TEST(FreshSimulator, StatisticsCountUnderTheirOptionNames) {
  Workdir work;
  const RunResult result =
      run_program(cli_binary(), {"--simulate", "--workdir", work.dir, "stats"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto printed = rows(result.out);
  ASSERT_EQ(printed.size(), 20u) << result.out;
  const char* expected[] = {"1. Coins accepted 13414", "2. Coins rejected 312",   "7. Resets 23",
                            "8. Coins channel 1 1843", "15. Coins channel 8 604", "16. Not used 0"};
  for (const char* row : expected) {
    EXPECT_NE(std::find(printed.begin(), printed.end(), row), printed.end()) << row << "\n"
                                                                             << result.out;
  }
}

TEST(FreshSimulator, UploadedConfigurationIsTheFirstStandardOneAndBreaksNoRule) {
  Workdir work;
  const std::string file = work.dir + "/fresh.xml";
  RunResult result =
      run_program(cli_binary(), {"--simulate", "--workdir", work.dir, "upload", "-o", file});
  ASSERT_EQ(result.status, 0) << result.err;
  result = run_program(cli_binary(), {"--workdir", work.dir, "show", file});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "") << "no rule of the configuration page objects";
  const auto lines = rows(result.out);
  for (const char* line :
       {"Version selection: Vending standard", "Output 1 : Coin pulse", "Output 6 : Warning",
        "In 2/Out 7 : Inhibit input", "File holds Channels: all 16 items"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << "\n"
                                                                        << result.out;
  }
}

// The counter of row 1 as qv82hs-cli reads it from the simulator on the link.
long coins_accepted(const Workdir& work, const std::string& link) {
  const RunResult result =
      run_program(cli_binary(), {"--port", link, "--workdir", work.dir, "--address", "2", "stats"});
  const auto printed = rows(result.out);
  if (result.status != 0 || printed.empty()) return -1;
  return std::stol(printed[0].substr(printed[0].rfind(' ') + 1));
}

TEST(SimulatorConsole, InsertedCoinsShowOnTheStatisticsAndErasedStartsBlank) {
  Workdir work;
  const std::string link = work.dir + "/qv82";
  {
    SimOnPty sim({"--link", link});
    ASSERT_EQ(coins_accepted(work, link), 13414);
    ASSERT_EQ(sim.send_line("accept on"), "coins accepted");
    for (int i = 0; i < 3; ++i) ASSERT_EQ(sim.send_line("insert 2").rfind("accepted", 0), 0u);
    EXPECT_EQ(coins_accepted(work, link), 13417);
    ASSERT_EQ(sim.stop(), 0);
  }
  SimOnPty erased({"--link", link, "--erased"});
  const RunResult result =
      run_program(cli_binary(), {"--port", link, "--workdir", work.dir, "--address", "2", "stats"});
  ASSERT_EQ(result.status, 0) << result.err;
  // Erased options show the first name, erased counters their largest value.
  const auto printed = rows(result.out);
  ASSERT_EQ(printed.size(), 20u) << result.out;
  for (const std::string& row : printed) {
    EXPECT_EQ(row.substr(row.find(' ') + 1), "Not used 16777215");
  }
}

}  // namespace
}  // namespace qv82::test
