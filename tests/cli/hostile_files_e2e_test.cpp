// Files that are no files: qv82hs-cli refuses a device, a pipe and a file far
// too large for its kind with a message naming it, at once and without
// reading it (a pipe used to block, /dev/zero was read until memory ran out).
#include <gtest/gtest.h>

#include "config/transfer_bench.h"
#include "support/hostile_files.h"
#include "support/processes.h"

namespace qv82::test {
namespace {

TEST(HostileFiles, EveryCommandRefusesWhatIsNoFileOfItsKind) {
  HostileFiles files;
  copy_data_files(files.dir.path());
  const std::string not_regular = "it is not a regular file";
  const std::string too_large = "it is larger than 4 MiB";
  struct Case {
    std::vector<std::string> command;
    const std::string& file;
    const std::string& reason;
  };
  const Case cases[] = {
      {{"download"}, files.device, not_regular},
      {{"download"}, files.pipe, not_regular},
      {{"download"}, files.large, too_large},
      {{"channel", "1"}, files.device, not_regular},
      {{"channel", "1"}, files.pipe, not_regular},
      {{"firmware"}, files.device, not_regular},
      {{"firmware"}, files.pipe, not_regular},
      {{"firmware"}, files.large, too_large},
      {{"show"}, files.pipe, not_regular},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command[0] + " " + c.file);
    std::vector<std::string> args = {"--simulate", "--workdir", files.dir.path()};
    args.insert(args.end(), c.command.begin(), c.command.end());
    args.push_back(c.file);
    PipeUnblocker unblocker(files.pipe);
    const RunResult run = run_program(cli_binary(), args);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find(c.file), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace qv82::test
