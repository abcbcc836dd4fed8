// qv82hs-cli firmware against qv82hs-sim over a pseudo-terminal, with
// images the test writes itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "firmware/srecord_writer.h"
#include "support/processes.h"

namespace qv82::test {
namespace {

class FirmwareEndToEnd : public ::testing::Test {
 protected:
  FirmwareEndToEnd() : dir(make_temp_dir()), link(dir + "/qv82") {
    std::filesystem::copy_file(QV82_SOURCE_DIR "/data/qv82hs.ini", dir + "/qv82hs.ini");
  }

  // 512 bytes in 16 records of 32: a second or two at 9600 baud.
  std::string image(const std::string& revision) {
    Bytes code(512);
    for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i * 13);
    const std::string path = dir + "/" + revision + ".u19";
    std::ofstream(path) << write_srecord_image({"QV82HS-BL", revision, 0x8000, code, 32});
    return path;
  }
  RunResult cli(std::vector<std::string> args) {
    std::vector<std::string> all = {"--port", link, "--workdir", dir};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }

  std::string dir;
  std::string link;
};

TEST_F(FirmwareEndToEnd, UpgradeThenIdentifyShowsTheNewRevision) {
  SimOnPty sim({"--link", link, "--monitor-rates", "38400"});
  const RunResult result = cli({"firmware", image("QV82HS-2.50")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Operation finished\nProgramming time: "), std::string::npos)
      << result.out;
  EXPECT_EQ(result.out.substr(result.out.size() - 4), " ms\n");

  const RunResult identify = cli({"identify"});
  EXPECT_EQ(identify.status, 0) << identify.err;
  EXPECT_NE(identify.out.find("Software revision: QV82HS-2.50\n"), std::string::npos)
      << identify.out;
}

TEST_F(FirmwareEndToEnd, RefusedRecordOrBadFileFails) {
  SimOnPty sim({"--link", link, "--fail-record", "3:2:1"});
  const std::string broken = dir + "/broken.u19";
  std::ofstream(broken) << "S0\n";
  const RunResult bad_file = cli({"firmware", broken});
  EXPECT_EQ(bad_file.status, 1);
  EXPECT_NE(bad_file.err.find("File format error"), std::string::npos) << bad_file.err;

  const RunResult refused = cli({"firmware", image("QV82HS-2.60")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("FLASH erase error!"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.out.find("Programming time"), std::string::npos) << refused.out;

  // The monitor still waits: a second run completes the upgrade.
  const RunResult again = cli({"firmware", image("QV82HS-2.60")});
  EXPECT_EQ(again.status, 0) << again.err;
}

TEST_F(FirmwareEndToEnd, UsageAndMissingFile) {
  EXPECT_EQ(cli({"firmware"}).status, 64);
  const RunResult missing = cli({"firmware", dir + "/none.u19"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Cannot open file"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace qv82::test
