// qv82hs-cli coinprog against qv82hs-sim over a pseudo-terminal: coins are "inserted" by lines
// typed into the simulator, the saved channel is read back from its non-volatile image.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/processes.h"

namespace qv82::test {
namespace {

// The saved image file of the simulator ("ADDR: HEX ..." lines) as 4096 bytes.
std::vector<int> read_image(const std::string& path) {
  std::vector<int> image(0x1000, -1);
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto colon = line.find(':');
    unsigned address = std::stoul(line.substr(0, colon), nullptr, 16);
    std::string hex;
    for (char c : line.substr(colon + 1)) {
      if (c != ' ') hex += c;
    }
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
      image.at(address++) = std::stoi(hex.substr(i, 2), nullptr, 16);
    }
  }
  return image;
}

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
  const std::string dir = make_temp_dir();
  std::filesystem::copy_file(QV82_SOURCE_DIR "/data/qv82hs.ini", dir + "/qv82hs.ini");
  const std::string link = dir + "/qv82";
  const std::string image = dir + "/nv.txt";
  SimOnPty sim({"--link", link, "--save-image", image});

  // Foreign coins (of no programmed kind) keep coming until the program has what it wants.
  std::atomic<bool> done{false};
  std::thread inserter([&] {
    for (int i = 0; i < 200 && !done; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(350));
      sim.send_line("insert 8");
    }
  });
  const RunResult result =
      run_program(cli_binary(), {"--port", link, "--workdir", dir, "--address", "2", "coinprog",
                                 "--channel", "9", "--samples", "3", "--save", "--timeout", "60"});
  done = true;
  inserter.join();
  ASSERT_EQ(sim.stop(), 0);

  EXPECT_EQ(result.status, 0) << result.err;
  const auto samples = sample_lines(result.out);
  ASSERT_EQ(samples.size(), 3u) << result.out;
  EXPECT_NE(result.out.find("Channel 9"), std::string::npos) << result.out;

  const std::vector<int> nv = read_image(image);
  const int at = 0x0570 + 32 * 8;
  for (int k = 0; k < 13; ++k) {
    const double mean = (samples[0][k] + samples[1][k] + samples[2][k]) / 3.0;
    EXPECT_EQ(nv[at + k], static_cast<int>(std::nearbyint(mean))) << "parameter " << k + 1;
  }
  // A free channel is prepared for a new coin: enabled, ccTalk on, direction 1, value 1.
  EXPECT_EQ(nv[at + 26], 0x70);
  EXPECT_EQ(nv[at + 27], 1);
  EXPECT_EQ(nv[at + 30], 0);
  EXPECT_EQ(nv[at + 31], 1);
  std::filesystem::remove_all(dir);
}

TEST(CoinprogEndToEnd, FailedCalculationSavesNothing) {
  const std::string dir = make_temp_dir();
  {
    std::ifstream in(QV82_SOURCE_DIR "/data/qv82hs.ini");
    std::ofstream out(dir + "/qv82hs.ini");
    for (std::string line; std::getline(in, line);) {
      out << (line.rfind("Par4_ADD=", 0) == 0 ? "Par4_ADD=abc" : line) << "\n";
    }
  }
  // Channel 7 as the device holds it before: nothing may replace it.
  std::string record;
  for (int i = 0; i < 32; ++i) record += "11 ";
  std::ofstream(dir + "/image.txt") << "0630: " << record << "\n";
  const std::string link = dir + "/qv82";
  const std::string image = dir + "/nv.txt";
  SimOnPty sim({"--link", link, "--image", dir + "/image.txt", "--save-image", image});

  std::atomic<bool> done{false};
  std::thread inserter([&] {
    for (int i = 0; i < 100 && !done; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(350));
      sim.send_line("insert 8");
    }
  });
  const RunResult result = run_program(
      cli_binary(), {"--port", link, "--workdir", dir, "--address", "2", "--yes", "coinprog",
                     "--channel", "7", "--samples", "1", "--save", "--timeout", "60"});
  done = true;
  inserter.join();
  ASSERT_EQ(sim.stop(), 0);

  EXPECT_NE(result.status, 0) << result.out;
  EXPECT_NE(result.err.find("Par4_ADD"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("nothing saved"), std::string::npos) << result.err;
  const std::vector<int> nv = read_image(image);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(nv[0x0630 + i], 0x11) << "byte " << i;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qv82::test
