// qv82hs-cli send against qv82hs-sim over a pseudo-terminal: the real serial path, termios
// included.
#include <gtest/gtest.h>

#include "cli/cli_bench.h"

namespace qv82::test {
namespace {

TEST(SendEndToEnd, SimplePollIsLoggedOtherAddressTimesOutAndNoHexSendsNothing) {
  CliBench bench;
  bench.options = {"--log", bench.file("comm.log")};
  SimOnPty sim(bench.sim({}));
  const RunResult result = bench.cli({"send", "FE"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "-> 020001FEFF\n<- 01000200FD\n");
  EXPECT_EQ(bench.dir.read("comm.log"), result.out) << "the log file gets the same lines";

  const RunResult nobody = bench.cli({"--address", "9", "send", "FE"});
  EXPECT_EQ(nobody.status, 2);
  EXPECT_EQ(nobody.out, "-> 090001FEF8\n");

  const RunResult not_hex = bench.cli({"send", "FZ"});
  EXPECT_EQ(not_hex.status, 64);
  EXPECT_TRUE(not_hex.out.empty());
  EXPECT_NE(not_hex.err.find("FZ"), std::string::npos) << not_hex.err;
}

}  // namespace
}  // namespace qv82::test
