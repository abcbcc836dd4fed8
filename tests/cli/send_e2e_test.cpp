// qv82hs-cli against qv82hs-sim over a pseudo-terminal: the real serial path,
// termios included.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "support/processes.h"

namespace qv82::test {
namespace {

TEST(SendEndToEnd, SimplePollThroughALinkedPseudoTerminal) {
  const std::string dir = make_temp_dir();
  const std::string link = dir + "/qv82";
  SimOnPty sim({"--link", link});
  const std::string log = dir + "/comm.log";

  const RunResult result = run_program(cli_binary(), {"--port", link, "--log", log, "send", "FE"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "-> 020001FEFF\n<- 01000200FD\n");

  std::ifstream file(log);
  std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(contents, result.out) << "the log file gets the same lines";
}

TEST(SendEndToEnd, AnotherAddressTimesOutWithStatusTwo) {
  SimOnPty sim({});
  const RunResult result =
      run_program(cli_binary(), {"--port", sim.slave_path(), "--address", "9", "send", "FE"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "-> 090001FEF8\n");
}

TEST(SendEndToEnd, TextThatIsNotHexSendsNothing) {
  SimOnPty sim({});
  const RunResult result = run_program(cli_binary(), {"--port", sim.slave_path(), "send", "FZ"});
  EXPECT_EQ(result.status, 64);
  EXPECT_TRUE(result.out.empty());
  EXPECT_NE(result.err.find("FZ"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace qv82::test
