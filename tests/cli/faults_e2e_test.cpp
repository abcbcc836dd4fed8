// Every command against qv82hs-sim on a pseudo-terminal with a fault on the
// line or in the device: a failure is said on stderr with a non-zero status,
// and the device's stored image keeps everything the command did not finish.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "link/bytes.h"
#include "support/processes.h"
#include "support/sim_fixture.h"

namespace qv82::test {
namespace {

using Image = sim::Memory::Image;

// The addresses where two images differ, with the new bytes.
std::map<std::size_t, std::uint8_t> changes(const Image& before, const Image& after) {
  std::map<std::size_t, std::uint8_t> out;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i]) out[i] = after[i];
  }
  return out;
}

class CommandFaults : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = make_temp_dir();
    for (const char* name : {"qv82hs.ini", "io.ini", "template.xml", "Production.ini"}) {
      std::filesystem::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name, dir_ + "/" + name);
    }
    // A configuration file of the modes, taken from an untouched device.
    SimOnPty sim({"--address", "3", "--link", dir_ + "/qv82"});
    const RunResult made =
        cli({"--address", "3", "upload", "-o", dir_ + "/modes.xml", "--sections", "modes"});
    ASSERT_EQ(made.status, 0) << made.err;
  }

  static RunResult cli(std::vector<std::string> args) {
    std::vector<std::string> all = {"--port", dir_ + "/qv82", "--workdir", dir_};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }
  static std::vector<std::string> sim_args(std::vector<std::string> args,
                                           const std::string& image) {
    args.insert(args.end(), {"--address", "3", "--link", dir_ + "/qv82", "--save-image", image});
    return args;
  }

  static inline std::string dir_;
};

struct FaultCase {
  const char* name;
  std::vector<std::string> sim;  // no simulator at all when it holds "none"
  std::vector<std::string> cli;
  int status;
  std::string err_part;
  std::map<std::size_t, std::uint8_t> stored;  // what the device keeps
};

constexpr const char* kNoPort = "Unable to open com port ";

TEST_F(CommandFaults, FailuresAreSaidAndLeaveTheStoredImage) {
  const std::string modes = dir_ + "/modes.xml";
  const std::string locked = "00000000";
  const FaultCase cases[] = {
      // No device on the port: the port itself is missing, and says so.
      {"no device: identify", {"none"}, {"--address", "3", "identify"}, 1, kNoPort, {}},
      // The device refuses access without the password.
      {"locked: download", {"--masks", locked}, {"--address", "3", "download", modes}, 1, "", {}},
      // The device answers NAK to memory writes or reads.
      {"NAK: write",
       {"--nak", "FF03"},
       {"--address", "3", "write", "07F0", "A5"},
       1,
       "Writing error",
       {}},
      // Writes reach the working memory, the store is refused.
      {"bad store: write",
       {"--nak-store"},
       {"--address", "3", "write", "07F0", "A5"},
       1,
       "Error write to NV memory",
       {}},
      {"bad store: erase",
       {"--nak-store"},
       {"--yes", "--address", "3", "erase", "--channels", "1"},
       1,
       "",
       {}},
      {"bad store: download", {"--nak-store"}, {"--address", "3", "download", modes}, 1, "", {}},
      // The same commands without a fault.
      {"write", {}, {"--address", "3", "write", "07F0", "A5"}, 0, "", {{0x07F0, 0xA5}}},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    const bool no_device = c.sim == std::vector<std::string>{"none"};
    const std::string before_path = dir_ + "/before.img";
    const std::string after_path = dir_ + "/after.img";
    if (!no_device) SimOnPty(sim_args(c.sim, before_path)).stop();

    RunResult result;
    if (no_device) {
      result = cli(c.cli);
    } else {
      SimOnPty sim(sim_args(c.sim, after_path));
      result = cli(c.cli);
      sim.stop();
    }
    EXPECT_EQ(result.status, c.status) << result.err;
    if (c.status != 0) {
      EXPECT_FALSE(result.err.empty());
      EXPECT_EQ(result.out.find("Operation finished"), std::string::npos) << result.out;
    }
    EXPECT_NE(result.err.find(c.err_part), std::string::npos) << result.err;
    if (!no_device) {
      EXPECT_EQ(changes(saved_image(before_path), saved_image(after_path)), c.stored);
    }
  }
}

TEST_F(CommandFaults, SendUnlocksAsTheTerminalDoes) {
  const std::string image = dir_ + "/sent.img";
  SimOnPty sim(sim_args({"--masks", "00000000"}, image));
  const std::vector<std::string> password = {"--address", "3", "--password", "123456789abc"};
  auto send = [&](const std::string& hex) {
    std::vector<std::string> args = password;
    args.insert(args.end(), {"send", hex});
    return cli(args);
  };
  // The request itself is acknowledged (header 00), not refused (05).
  const RunResult written = send("FF0307F0A5");
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_TRUE(written.out.ends_with("<- 01000300FC\n")) << written.out;
  const RunResult stored = send("FF03");
  EXPECT_TRUE(stored.out.ends_with("<- 01000300FC\n")) << stored.out;
  sim.stop();
  EXPECT_EQ(saved_image(image)[0x07F0], 0xA5);
}

}  // namespace
}  // namespace qv82::test
