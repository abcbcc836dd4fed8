// qv82hs-cli firmware against qv82hs-sim over a pseudo-terminal, with images the test writes.
#include <gtest/gtest.h>

#include "cli/cli_bench.h"
#include "firmware/srecord_writer.h"

namespace qv82::test {
namespace {

// 512 bytes in 16 records of 32: a second or two at 9600 baud.
std::string image(const CliBench& bench, const std::string& revision) {
  Bytes code(512);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i * 13);
  bench.dir.write(revision + ".u19",
                  write_srecord_image({"QV82HS-BL", revision, 0x8000, code, 32}));
  return bench.file(revision + ".u19");
}

TEST(FirmwareEndToEnd, UpgradeThenIdentifyShowsTheNewRevision) {
  CliBench bench;
  SimOnPty sim(bench.sim({"--monitor-rates", "38400"}));
  const RunResult result = bench.cli({"firmware", image(bench, "QV82HS-2.50")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Operation finished\nProgramming time: "), std::string::npos)
      << result.out;
  const RunResult identify = bench.cli({"identify"});
  EXPECT_NE(identify.out.find("Software revision: QV82HS-2.50\n"), std::string::npos)
      << identify.out;
}

TEST(FirmwareEndToEnd, RefusedRecordOrBadFileFails) {
  CliBench bench;
  SimOnPty sim(bench.sim({"--fail-record", "3:2:1"}));
  bench.dir.write("broken.u19", "S0\n");
  const RunResult bad_file = bench.cli({"firmware", bench.file("broken.u19")});
  EXPECT_EQ(bad_file.status, 1);
  EXPECT_NE(bad_file.err.find("File format error"), std::string::npos) << bad_file.err;

  const RunResult refused = bench.cli({"firmware", image(bench, "QV82HS-2.60")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("FLASH erase error!"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.out.find("Programming time"), std::string::npos) << refused.out;
  EXPECT_EQ(bench.cli({"firmware"}).status, 64);
}

}  // namespace
}  // namespace qv82::test
