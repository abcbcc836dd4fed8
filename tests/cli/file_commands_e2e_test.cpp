// The commands on files, against the built-in simulated device: decode explains a saved log,
// show lists a saved configuration, download takes one to the device. One way that works and
// one that is refused, each.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_bench.h"

namespace qv82::test {
namespace {

struct SimulatedBench : CliBench {
  SimulatedBench() { options = {"--simulate"}; }
};

TEST(FileCommandsEndToEnd, DecodeNamesTheFramesAndRefusesAMissingLog) {
  SimulatedBench bench;
  bench.dir.write("comm.log", "-> 020001FEFF\n<- 01000200FD\n");
  const RunResult decoded = bench.cli({"decode", bench.file("comm.log")});
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out,
            "-> 020001FEFF                 sent 1 to 2: simple poll\n"
            "<- 01000200FD                 received 2 to 1: ACK to simple poll\n");

  const RunResult missing = bench.cli({"decode", bench.file("none.log")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

TEST(FileCommandsEndToEnd, ShowListsAnUploadedFileAndRefusesADamagedOne) {
  SimulatedBench bench;
  // A file of one section holds that section alone, and shows it.
  const RunResult upload =
      bench.cli({"upload", "-o", bench.file("modes.xml"), "--sections", "modes"});
  ASSERT_EQ(upload.status, 0) << upload.err;
  const std::string modes = bench.dir.read("modes.xml");
  EXPECT_NE(modes.find("<Group caption=\"Modes\">"), std::string::npos) << modes;
  EXPECT_EQ(modes.find("Statistic"), std::string::npos) << modes;
  const RunResult shown = bench.cli({"show", bench.file("modes.xml")});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out.rfind("Version selection: Vending standard\nOutput 1 : Coin pulse\n", 0), 0u)
      << shown.out;

  bench.dir.write("bad.xml", "<Configuration");
  const RunResult bad = bench.cli({"show", bench.file("bad.xml")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("File format error"), std::string::npos) << bad.err;
}

// With io.ini missing nobody can check the I/O records: only --yes sends them.
TEST(FileCommandsEndToEnd, DownloadWithTheRulesOffNeedsYes) {
  SimulatedBench bench;
  // The I/O section alone holds the records in question, and is quick to move.
  ASSERT_EQ(bench.cli({"upload", "-o", bench.file("conf.xml"), "--sections", "io"}).status, 0);
  std::filesystem::remove(bench.file("io.ini"));
  const RunResult refused = bench.cli({"download", bench.file("conf.xml")});
  EXPECT_EQ(refused.status, 65);
  EXPECT_NE(refused.err.find("only when --yes is given"), std::string::npos) << refused.err;
  const RunResult confirmed = bench.cli({"--yes", "download", bench.file("conf.xml")});
  EXPECT_EQ(confirmed.status, 0) << confirmed.err;
}

}  // namespace
}  // namespace qv82::test
