// Commands that write to qv82hs-sim on a pseudo-terminal: with a fault on the line or in the
// device a failure is said with a non-zero status and the stored image keeps everything the
// command did not finish; compare, backups and restore tell and undo what a download changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "cli/cli_bench.h"
#include "support/saved_items.h"
#include "support/sim_fixture.h"

namespace qv82::test {
namespace {

// The addresses where two images differ, with the new bytes.
std::map<std::size_t, std::uint8_t> changes(const sim::Memory::Image& before,
                                            const sim::Memory::Image& after) {
  std::map<std::size_t, std::uint8_t> out;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i]) out[i] = after[i];
  }
  return out;
}

TEST(CommandFaults, FailuresAreSaidAndLeaveTheStoredImage) {
  CliBench bench;
  const std::string modes = bench.file("modes.xml");
  const std::string before = bench.file("before.img");
  const std::string after = bench.file("after.img");
  {
    SimOnPty sim(bench.sim({}, before));
    ASSERT_EQ(bench.cli({"upload", "-o", modes, "--sections", "modes"}).status, 0);
  }
  const struct {
    const char* name;
    std::vector<std::string> sim;  // no simulator at all when it holds "none"
    std::vector<std::string> cli;
    int status;
    std::string err_part;
    std::map<std::size_t, std::uint8_t> stored;  // what the device keeps
  } cases[] = {
      {"no device: identify", {"none"}, {"identify"}, 1, "Unable to open com port ", {}},
      {"NAK: write", {"--nak", "FF03"}, {"write", "07F0", "A5"}, 1, "Writing error", {}},
      // Writes reach the working memory, the store is refused.
      {"bad store: erase", {"--nak-store"}, {"--yes", "erase", "--channels", "1"}, 1, "", {}},
      // Each write is read back before the store.
      {"flipped bit: download", {"--flip-bit"}, {"download", modes}, 1, "Verify failed: ", {}},
      {"write", {}, {"write", "07F0", "A5"}, 0, "", {{0x07F0, 0xA5}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool no_device = c.sim == std::vector<std::string>{"none"};
    RunResult result;
    if (no_device) {
      result = bench.cli(c.cli);
    } else {
      SimOnPty sim(bench.sim(c.sim, after));
      result = bench.cli(c.cli);
      sim.stop();
      EXPECT_EQ(changes(saved_image(before), saved_image(after)), c.stored);
    }
    EXPECT_EQ(result.status, c.status) << result.err;
    if (c.status != 0) {
      EXPECT_FALSE(result.err.empty());
      EXPECT_EQ(result.out.find("Operation finished"), std::string::npos) << result.out;
    }
    EXPECT_NE(result.err.find(c.err_part), std::string::npos) << result.err;
  }
}

TEST(TrustCommands, CompareDownloadCompareBackupsRestore) {
  CliBench bench;
  SimOnPty sim(bench.sim({}));
  const std::string original = bench.file("original.xml");
  const std::string changed = bench.file("changed.xml");
  // The modes alone keep the run at 9600 baud short.
  ASSERT_EQ(bench.cli({"upload", "-o", original, "--sections", "modes"}).status, 0);
  std::filesystem::copy_file(original, changed);
  ASSERT_EQ(set_saved_item(changed, "0x07B3", "01"), "01");

  const RunResult files = bench.cli({"compare", original, changed});
  EXPECT_EQ(files.status, 1) << files.err;
  EXPECT_NE(files.out.find("(0x07B3): 00 -> 01"), std::string::npos) << files.out;
  EXPECT_TRUE(files.out.ends_with("\n1 difference\n")) << files.out;
  EXPECT_EQ(bench.cli({"compare", original, original}).out, "No differences\n");

  const RunResult download = bench.cli({"download", changed});
  ASSERT_EQ(download.status, 0) << download.err;
  EXPECT_NE(download.err.find("Backup: " + bench.file("backups/1234567-")), std::string::npos)
      << download.err;
  // The device now holds the change.
  const RunResult differs = bench.cli({"compare", original});
  EXPECT_EQ(differs.status, 1) << differs.err;
  EXPECT_NE(differs.out.find("1 difference\n"), std::string::npos) << differs.out;

  const RunResult listed = bench.cli({"backups"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_NE(listed.out.find("  1234567  1 items  " + bench.file("backups/")), std::string::npos)
      << listed.out;
  EXPECT_NE(listed.out.find("\n1 backup, "), std::string::npos) << listed.out;

  EXPECT_EQ(bench.cli({"restore"}).status, 0);
  EXPECT_EQ(bench.cli({"compare", original}).out, "No differences\n");
  EXPECT_EQ(bench.cli({"restore", "a", "b"}).status, 64);
}

}  // namespace
}  // namespace qv82::test
