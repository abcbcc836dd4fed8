// qv82hs-cli finds and identifies qv82hs-sim over a pseudo-terminal, with
// the installation's qv82hs.ini in a working directory of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/processes.h"

namespace qv82::test {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// qv82hs-sim at address 3 behind a linked pseudo-terminal, and a working
// directory holding the installation's settings.
class Bench {
 public:
  explicit Bench(std::vector<std::string> sim_args = {})
      : dir(make_temp_dir()), link(dir + "/qv82"), sim(with_link(std::move(sim_args), link)) {
    std::filesystem::copy_file(QV82_SOURCE_DIR "/data/qv82hs.ini", dir + "/qv82hs.ini");
  }

  RunResult cli(std::vector<std::string> args) {
    std::vector<std::string> all = {"--port", link, "--workdir", dir};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }

  std::string dir;
  std::string link;
  SimOnPty sim;

 private:
  static std::vector<std::string> with_link(std::vector<std::string> args,
                                            const std::string& link) {
    args.insert(args.end(), {"--address", "3", "--link", link});
    return args;
  }
};

class DeviceEndToEnd : public ::testing::Test {
 protected:
  RunResult cli(std::vector<std::string> args) { return bench.cli(std::move(args)); }
  Bench bench;
  const std::string& dir = bench.dir;
  const std::string& link = bench.link;
};

TEST_F(DeviceEndToEnd, SearchFindsTheDeviceAndRemembersIt) {
  const RunResult result = cli({"search"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Coin selector with address 3 found at  " + link + "\n");
  const std::string settings = read_file(dir + "/qv82hs.ini");
  EXPECT_NE(settings.find("ComPort=" + link + "\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("ccTalkAddr=03\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Stop time min=05\n"), std::string::npos) << "the rest is kept";
}

TEST_F(DeviceEndToEnd, IdentifyPrintsTheSixFields) {
  const RunResult result = cli({"identify"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Product code: QV82\n"
            "Serial number: 1234567\n"
            "Build code: B01\n"
            "Software revision: QV82HS-1.02\n"
            "Production date: 2007/3/9\n"
            "Last modification date: 2010/6/15\n");
  // The search's own message stays off stdout.
  EXPECT_NE(result.err.find("found at"), std::string::npos) << result.err;

  const RunResult at_address = cli({"--address", "3", "identify"});
  EXPECT_EQ(at_address.status, 0) << at_address.err;
  EXPECT_EQ(at_address.out, result.out);
}

TEST_F(DeviceEndToEnd, FailuresAndUsage) {
  // 255 is still an address (not a usage error), only nobody answers there.
  const RunResult nobody = cli({"--address", "255", "identify"});
  EXPECT_EQ(nobody.status, 1);
  EXPECT_TRUE(nobody.out.empty());
  EXPECT_NE(nobody.err.find("Coin selector not found at address 255!"), std::string::npos)
      << nobody.err;

  for (const auto& args :
       std::vector<std::vector<std::string>>{{"read", "07G0", "4"},
                                             {"read", "0750", "0"},
                                             {"write", "0750", "ABC"},
                                             {"set-address", "255"},
                                             {"set-pin", "1234567", "12345678"}}) {
    EXPECT_EQ(cli(args).status, 64) << args[0] << " " << args[1];
  }
}

TEST_F(DeviceEndToEnd, ReadAndWriteMemory) {
  const RunResult written = cli({"--address", "3", "write", "07F0", "A5"});
  EXPECT_EQ(written.status, 0) << written.err;
  const RunResult read = cli({"--address", "3", "read", "07F0", "1"});
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "A5\n");
}

TEST(DeviceEndToEndLocked, PasswordFromTheOptionsOrCancelled) {
  Bench bench({"--masks", "00000000"});
  struct Case {
    std::vector<std::string> options;
    int status;
    std::string out;
    std::string err_part;
  };
  const Case cases[] = {
      // No terminal to ask on: the access is cancelled, and that is said.
      {{}, 1, "", "Enter factory password: none given (--password)"},
      {{"--password", "123456789abc"}, 0, "FFFFFFFF\n", ""},
      {{"--password", "000000000000", "--pin", "00000000"}, 1, "", "Wrong Password"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--address", "3"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.insert(args.end(), {"read", "0750", "4"});
    const RunResult result = bench.cli(args);
    SCOPED_TRACE(result.err);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.out, c.out);
    EXPECT_NE(result.err.find(c.err_part), std::string::npos);
  }
}

}  // namespace
}  // namespace qv82::test
