// qv82hs-cli stats and erase against qv82hs-sim over a pseudo-terminal.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_bench.h"

namespace qv82::test {
namespace {

// Row i (1-based) of the printed statistics, its columns one blank apart.
std::string row(const std::string& out, int i) {
  std::istringstream lines(out);
  std::string line;
  for (int n = 0; n < i; ++n) std::getline(lines, line);
  std::istringstream words(line);
  std::string word, squeezed;
  while (words >> word) squeezed += (squeezed.empty() ? "" : " ") + word;
  return squeezed;
}

TEST(StatsEndToEnd, PrintsSetsExportsAndErases) {
  CliBench bench;
  bench.dir.write("image.txt", "081A: 01 02 03\n0830: 00 01 02 FF FF FF 00 00 07\n");
  SimOnPty sim(bench.sim({"--image", bench.file("image.txt")}));
  RunResult result = bench.cli({"stats"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 20);
  EXPECT_EQ(row(result.out, 1), "1. Coins accepted 258");
  EXPECT_EQ(row(result.out, 2), "2. Coins rejected 16777215");
  EXPECT_EQ(row(result.out, 3), "3. Coins inhibited 7");

  // Row 3 changes from "Coins inhibited" to "Coin jams": its counter is erased, the others stay.
  result = bench.cli({"stats", "set", "3", "Coin jams"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(row(result.out, 3), "3. Coin jams 0");
  EXPECT_EQ(row(result.out, 1), "1. Coins accepted 258");

  result = bench.cli({"stats", "set", "3", "No such option"});
  EXPECT_EQ(result.status, 64);
  EXPECT_NE(result.err.find("Coins accepted"), std::string::npos) << result.err;

  result = bench.cli({"stats", "--export", bench.file("sheet")});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string sheet = bench.dir.read("sheet.xls");
  EXPECT_EQ(sheet.substr(0, 2), "\x09\x08");  // BOF
  EXPECT_NE(sheet.find("Coin jams"), std::string::npos);

  result = bench.cli({"--yes", "erase", "--counters", "1,2"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto rows_at = result.out.find(" 1.");
  ASSERT_NE(rows_at, std::string::npos) << result.out;
  EXPECT_EQ(row(result.out.substr(rows_at), 1), "1. Coins accepted 0");
  EXPECT_EQ(row(result.out.substr(rows_at), 2), "2. Coins rejected 0");

  EXPECT_EQ(bench.cli({"erase", "--counters", "21"}).status, 64);
}

}  // namespace
}  // namespace qv82::test
