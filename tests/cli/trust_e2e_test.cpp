// compare, backups, restore and the read-back of download, as qv82hs-cli
// runs them against qv82hs-sim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/bytes.h"
#include "support/processes.h"

namespace qv82::test {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Channel 3's first parameter byte changed in the file.
void change_channel_3(const std::string& path) {
  std::string text = read_file(path);
  const std::string tag = "address=\"0x05B0\" length=\"32\">";
  const std::size_t at = text.find(tag) + tag.size();
  text[at] = text[at] == '0' ? '1' : '0';
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

class TrustCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = make_temp_dir();
    for (const char* name : {"qv82hs.ini", "io.ini", "template.xml"}) {
      std::filesystem::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name, dir + "/" + name);
    }
  }
  RunResult cli(std::vector<std::string> args) const {
    std::vector<std::string> all = {"--port", dir + "/qv82", "--address", "2", "--workdir", dir};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }
  std::vector<std::string> sim_args(std::vector<std::string> extra,
                                    const std::string& image) const {
    extra.insert(extra.end(), {"--link", dir + "/qv82", "--save-image", image});
    return extra;
  }
  std::string dir;
};

TEST_F(TrustCommands, CompareDownloadCompareBackupsRestore) {
  const std::string original = dir + "/original.xml";
  const std::string changed = dir + "/changed.xml";
  SimOnPty sim(sim_args({}, dir + "/image.txt"));
  // The channels alone keep the run at 9600 baud short.
  ASSERT_EQ(cli({"upload", "-o", original, "--sections", "channels"}).status, 0);
  std::filesystem::copy_file(original, changed);
  change_channel_3(changed);

  const RunResult files = cli({"compare", original, changed});
  EXPECT_EQ(files.status, 1) << files.err;
  ASSERT_EQ(lines_of(files.out).size(), 2u) << files.out;
  EXPECT_EQ(lines_of(files.out)[0].rfind("Channel 3 (0x05B0): ", 0), 0u) << files.out;
  EXPECT_NE(lines_of(files.out)[0].find("; 1. "), std::string::npos) << files.out;
  EXPECT_EQ(lines_of(files.out)[1], "1 difference");
  EXPECT_EQ(cli({"compare", original, original}).out, "No differences\n");

  const RunResult download = cli({"download", changed});
  ASSERT_EQ(download.status, 0) << download.err;
  const std::string prefix = "Backup: " + dir + "/backups/1234567-";
  EXPECT_NE(download.err.find(prefix), std::string::npos) << download.err;
  // The device now holds the change (the download read each write back).
  const RunResult differs = cli({"compare", original});
  EXPECT_EQ(differs.status, 1) << differs.err;
  EXPECT_NE(differs.out.find("1 difference\n"), std::string::npos) << differs.out;

  const RunResult listed = cli({"backups"});
  EXPECT_EQ(listed.status, 0);
  ASSERT_EQ(lines_of(listed.out).size(), 2u) << listed.out;
  EXPECT_NE(lines_of(listed.out)[0].find("  1234567  16 items  " + dir + "/backups/"),
            std::string::npos)
      << listed.out;
  EXPECT_EQ(lines_of(listed.out)[1].rfind("1 backup, ", 0), 0u) << listed.out;

  const RunResult restored = cli({"restore"});
  EXPECT_EQ(restored.status, 0) << restored.err;
  EXPECT_EQ(cli({"compare", original}).out, "No differences\n");
  EXPECT_EQ(cli({"restore", "a", "b"}).status, 64);
}

TEST_F(TrustCommands, FlippedBitFailsTheDownloadAndStoresNothing) {
  const std::string file = dir + "/device.xml";
  {
    SimOnPty sim(sim_args({}, dir + "/untouched.txt"));
    ASSERT_EQ(cli({"upload", "-o", file, "--sections", "channels"}).status, 0);
  }
  change_channel_3(file);
  {
    SimOnPty sim(sim_args({"--flip-bit"}, dir + "/flipped.txt"));
    const RunResult download = cli({"download", file});
    EXPECT_EQ(download.status, 1);
    EXPECT_NE(download.err.find("Verify failed: Channel 1 (0x0570): wrote "), std::string::npos)
        << download.err;
    EXPECT_EQ(download.err.find("Error write to NV memory"), std::string::npos) << download.err;
  }
  EXPECT_EQ(read_file(dir + "/flipped.txt"), read_file(dir + "/untouched.txt"));
}

}  // namespace
}  // namespace qv82::test
