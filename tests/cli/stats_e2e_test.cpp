// qv82hs-cli stats and erase against qv82hs-sim over a pseudo-terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/processes.h"

namespace qv82::test {
namespace {

class StatsEndToEnd : public ::testing::Test {
 protected:
  StatsEndToEnd() : dir(make_temp_dir()), link(dir + "/qv82"), sim(start(dir, link)) {
    std::filesystem::copy_file(QV82_SOURCE_DIR "/data/qv82hs.ini", dir + "/qv82hs.ini");
  }

  static std::vector<std::string> start(const std::string& dir, const std::string& link) {
    std::ofstream(dir + "/image.txt") << "081A: 01 02 03\n"
                                         "0830: 00 01 02 FF FF FF 00 00 07\n";
    return {"--link", link, "--image", dir + "/image.txt"};
  }

  RunResult cli(std::vector<std::string> args) {
    std::vector<std::string> all = {"--port", link, "--workdir", dir, "--address", "2"};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }

  // Row i (1-based) of the printed statistics, its columns one blank apart.
  static std::string row(const std::string& out, int i) {
    std::istringstream lines(out);
    std::string line;
    for (int n = 0; n < i; ++n) std::getline(lines, line);
    std::istringstream words(line);
    std::string word, squeezed;
    while (words >> word) squeezed += (squeezed.empty() ? "" : " ") + word;
    return squeezed;
  }

  std::string dir;
  std::string link;
  SimOnPty sim;
};

TEST_F(StatsEndToEnd, PrintsSetsExportsAndErases) {
  RunResult result = cli({"stats"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 20);
  EXPECT_EQ(row(result.out, 1), "1. Coins accepted 258");
  EXPECT_EQ(row(result.out, 2), "2. Coins rejected 16777215");
  EXPECT_EQ(row(result.out, 3), "3. Coins inhibited 7");
  EXPECT_EQ(row(result.out, 20), "20. Not used 0");

  // Row 3 changes from "Coins inhibited" to "Coin jams": its counter is erased, the others stay.
  result = cli({"stats", "set", "3", "Coin jams"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(row(result.out, 3), "3. Coin jams 0");
  EXPECT_EQ(row(result.out, 1), "1. Coins accepted 258");

  result = cli({"stats", "set", "3", "No such option"});
  EXPECT_EQ(result.status, 64);
  EXPECT_NE(result.err.find("Coins accepted"), std::string::npos) << result.err;

  result = cli({"stats", "--export", dir + "/sheet"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::ifstream sheet(dir + "/sheet.xls", std::ios::binary);
  std::ostringstream bytes;
  bytes << sheet.rdbuf();
  EXPECT_EQ(bytes.str().substr(0, 2), "\x09\x08");  // BOF
  EXPECT_NE(bytes.str().find("Coin jams"), std::string::npos);

  result = cli({"--yes", "erase", "--counters", "1,2"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Operation finished"), std::string::npos) << result.out;
  const auto rows_at = result.out.find(" 1.");
  ASSERT_NE(rows_at, std::string::npos) << result.out;
  const std::string rows = result.out.substr(rows_at);
  EXPECT_EQ(row(rows, 1), "1. Coins accepted 0");
  EXPECT_EQ(row(rows, 2), "2. Coins rejected 0");
  EXPECT_EQ(row(rows, 3), "3. Coin jams 0");

  EXPECT_EQ(cli({"erase", "--counters", "21"}).status, 64);
}

}  // namespace
}  // namespace qv82::test
