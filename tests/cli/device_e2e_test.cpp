// qv82hs-cli finds, identifies and reads qv82hs-sim over a pseudo-terminal.
#include <gtest/gtest.h>

#include "cli/cli_bench.h"

namespace qv82::test {
namespace {

TEST(DeviceEndToEnd, SearchRemembersTheDeviceAndIdentifyPrintsTheSixFields) {
  CliBench bench;
  bench.options.clear();
  SimOnPty sim(bench.sim({"--address", "3"}));
  const RunResult found = bench.cli({"search"});
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out, "Coin selector with address 3 found at  " + bench.link + "\n");
  const std::string settings = bench.dir.read("qv82hs.ini");
  EXPECT_NE(settings.find("ComPort=" + bench.link + "\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("ccTalkAddr=03\n"), std::string::npos) << settings;

  const RunResult result = bench.cli({"--address", "3", "identify"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Product code: QV82\n"
            "Serial number: 1234567\n"
            "Build code: B01\n"
            "Software revision: QV82HS-1.02\n"
            "Production date: 2007/3/9\n"
            "Last modification date: 2010/6/15\n");

  // 255 is still an address (not a usage error), only nobody answers there.
  const RunResult nobody = bench.cli({"--address", "255", "identify"});
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
    EXPECT_EQ(bench.cli(args).status, 64) << args[0] << " " << args[1];
  }
}

TEST(DeviceEndToEnd, ReadOfALockedDeviceTakesThePasswordFromTheOptions) {
  CliBench bench;
  SimOnPty sim(bench.sim({"--masks", "00000000"}));
  const struct {
    std::vector<std::string> options;
    int status;
    std::string out;
    std::string err_part;
  } cases[] = {
      // No terminal to ask on: the access is cancelled, and that is said.
      {{}, 1, "", "Enter factory password: none given (--password)"},
      {{"--password", "123456789abc"}, 0, "FFFFFFFF\n", ""},
      {{"--password", "000000000000", "--pin", "00000000"}, 1, "", "Wrong Password"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.options;
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
