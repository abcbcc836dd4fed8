// The commands on files: decode explains a saved log, show lists a saved
// configuration, download takes one to the (simulated) device. One way that
// works and one that is refused, each.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/transfer_bench.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

TEST(FileCommandsEndToEnd, DecodeNamesTheFramesAndRefusesAMissingLog) {
  const std::string dir = make_temp_dir();
  std::ofstream(dir + "/comm.log") << "-> 020001FEFF\n<- 01000200FD\n";
  const RunResult decoded = run_program(cli_binary(), {"decode", dir + "/comm.log"});
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out,
            "-> 020001FEFF                 sent 1 to 2: simple poll\n"
            "<- 01000200FD                 received 2 to 1: ACK to simple poll\n");

  const RunResult missing = run_program(cli_binary(), {"decode", dir + "/none.log"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

TEST(FileCommandsEndToEnd, ShowListsAnUploadedFileAndRefusesADamagedOne) {
  const std::string dir = make_temp_dir();
  copy_data_files(dir);
  // A file of one section holds that section alone, and shows it.
  const RunResult upload = run_program(
      cli_binary(),
      {"--workdir", dir, "--simulate", "upload", "-o", dir + "/modes.xml", "--sections", "modes"});
  ASSERT_EQ(upload.status, 0) << upload.err;
  const std::string modes(std::istreambuf_iterator<char>(std::ifstream(dir + "/modes.xml").rdbuf()),
                          {});
  EXPECT_NE(modes.find("<Group caption=\"Modes\">"), std::string::npos) << modes;
  EXPECT_EQ(modes.find("Statistic"), std::string::npos) << modes;
  const RunResult shown = run_program(cli_binary(), {"--workdir", dir, "show", dir + "/modes.xml"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out.rfind("Version selection: Vending standard\nOutput 1 : Coin pulse\n", 0), 0u)
      << shown.out;

  std::ofstream(dir + "/bad.xml") << "<Configuration";
  const RunResult bad = run_program(cli_binary(), {"--workdir", dir, "show", dir + "/bad.xml"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("File format error"), std::string::npos) << bad.err;
}

// With io.ini missing nobody can check the I/O records: only --yes sends them.
TEST(FileCommandsEndToEnd, DownloadWithTheRulesOffNeedsYes) {
  const std::string dir = make_temp_dir();
  copy_data_files(dir);
  const auto cli = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--workdir", dir, "--simulate"});
    return run_program(cli_binary(), args);
  };
  // The I/O section alone holds the records in question, and is quick to move.
  ASSERT_EQ(cli({"upload", "-o", dir + "/conf.xml", "--sections", "io"}).status, 0);
  std::filesystem::remove(dir + "/io.ini");
  const RunResult refused = cli({"download", dir + "/conf.xml"});
  EXPECT_EQ(refused.status, 65);
  EXPECT_NE(refused.err.find("only when --yes is given"), std::string::npos) << refused.err;
  const RunResult confirmed = cli({"--yes", "download", dir + "/conf.xml"});
  EXPECT_EQ(confirmed.status, 0) << confirmed.err;
}

}  // namespace
}  // namespace qv82::test
