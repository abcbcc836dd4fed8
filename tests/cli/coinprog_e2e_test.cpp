// qv82hs-cli coinprog against qv82hs-sim over a pseudo-terminal: coins are "inserted" by lines
// typed into the simulator, the saved channel is read back from its non-volatile image.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cli/cli_bench.h"
#include "support/sim_fixture.h"

namespace qv82::test {
namespace {

// The numbers of the sample lines (52 characters: 13 values of 3 digits and a blank).
std::vector<std::vector<int>> sample_lines(const std::string& out) {
  std::vector<std::vector<int>> samples;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.size() != 52) continue;
    std::istringstream values(line);
    std::vector<int> v(13);
    for (int& x : v) values >> x;
    if (values) samples.push_back(v);
  }
  return samples;
}

TEST(CoinprogEndToEnd, SavedChannelReachesNonVolatileMemory) {
  CliBench bench;
  const std::string image = bench.file("nv.txt");
  SimOnPty sim(bench.sim({}, image));
  EXPECT_EQ(bench.cli({"coinprog", "--channel", "17"}).status, 64);
  RunningProgram coinprog(cli_binary(), bench.args({"coinprog", "--channel", "9", "--samples", "3",
                                                    "--save", "--timeout", "60"}));
  // A foreign coin (of no programmed kind) at a time, once the program counts them and the
  // next once the last was counted.
  ASSERT_TRUE(coinprog.wait_until(
      [](const RunResult& so_far) {
        return so_far.err.find("Insert 3 coins") != std::string::npos;
      },
      30));
  for (std::size_t counted = 0; counted < 3; ++counted) {
    sim.send_line("insert 8");
    ASSERT_TRUE(coinprog.wait_until(
        [&](const RunResult& so_far) { return sample_lines(so_far.out).size() > counted; }, 10))
        << "coin " << counted + 1 << " was not counted";
  }
  const RunResult result = coinprog.finish(60);
  ASSERT_EQ(sim.stop(), 0);

  EXPECT_EQ(result.status, 0) << result.err;
  const auto samples = sample_lines(result.out);
  ASSERT_EQ(samples.size(), 3u) << result.out;

  const sim::Memory::Image nv = saved_image(image);
  const int at = 0x0570 + 32 * 8;
  for (int k = 0; k < 13; ++k) {
    const double mean = (samples[0][k] + samples[1][k] + samples[2][k]) / 3.0;
    EXPECT_EQ(nv[at + k], static_cast<int>(std::nearbyint(mean))) << "parameter " << k + 1;
  }
}

}  // namespace
}  // namespace qv82::test
