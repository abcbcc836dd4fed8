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
  TempDir dir;
  std::ofstream(dir.file("comm.log")) << "-> 020001FEFF\n<- 01000200FD\n";
  const RunResult decoded = run_program(cli_binary(), {"decode", dir.file("comm.log")});
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out,
            "-> 020001FEFF                 sent 1 to 2: simple poll\n"
            "<- 01000200FD                 received 2 to 1: ACK to simple poll\n");

  const RunResult missing = run_program(cli_binary(), {"decode", dir.file("none.log")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

TEST(FileCommandsEndToEnd, ShowListsAnUploadedFileAndRefusesADamagedOne) {
  TempDir dir;
  copy_data_files(dir.path());
  const RunResult upload = run_program(
      cli_binary(), {"--workdir", dir.path(), "--simulate", "upload", "-o", dir.file("conf.xml")});
  ASSERT_EQ(upload.status, 0) << upload.err;
  const RunResult shown =
      run_program(cli_binary(), {"--workdir", dir.path(), "show", dir.file("conf.xml")});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out.rfind("Version selection: Vending standard\nOutput 1 : Coin pulse\n", 0), 0u)
      << shown.out;

  // A file of one section holds that section alone.
  ASSERT_EQ(run_program(cli_binary(), {"--workdir", dir.path(), "--simulate", "upload", "-o",
                                       dir.file("modes.xml"), "--sections", "modes"})
                .status,
            0);
  const std::string modes = dir.read("modes.xml");
  EXPECT_NE(modes.find("<Group caption=\"Modes\">"), std::string::npos) << modes;
  EXPECT_EQ(modes.find("Statistic"), std::string::npos) << modes;

  std::ofstream(dir.file("bad.xml")) << "<Configuration";
  const RunResult bad =
      run_program(cli_binary(), {"--workdir", dir.path(), "show", dir.file("bad.xml")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("File format error"), std::string::npos) << bad.err;
}

// With io.ini missing nobody can check the I/O records: only --yes sends them.
TEST(FileCommandsEndToEnd, DownloadWithTheRulesOffNeedsYes) {
  TempDir dir;
  copy_data_files(dir.path());
  const auto cli = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--workdir", dir.path(), "--simulate"});
    return run_program(cli_binary(), args);
  };
  // The I/O section alone holds the records in question, and is quick to move.
  ASSERT_EQ(cli({"upload", "-o", dir.file("conf.xml"), "--sections", "io"}).status, 0);
  std::filesystem::remove(dir.file("io.ini"));
  const RunResult refused = cli({"download", dir.file("conf.xml")});
  EXPECT_EQ(refused.status, 65);
  EXPECT_NE(refused.err.find("only when --yes is given"), std::string::npos) << refused.err;
  const RunResult confirmed = cli({"--yes", "download", dir.file("conf.xml")});
  EXPECT_EQ(confirmed.status, 0) << confirmed.err;
}

}  // namespace
}  // namespace qv82::test
