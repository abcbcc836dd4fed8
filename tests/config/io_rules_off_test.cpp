// An io.ini that cannot be used turns the I/O rules off: start-up says so
// once, naming the file's full path and what is wrong with it, and a
// Download that holds I/O records asks before anything is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "config/transfer_bench.h"
#include "files/full_path.h"

namespace qv82::test {
namespace {

const Bytes kWriteMemory = {0xFF, 0x03};

TEST(IoRulesOff, EveryDamagedKindIsNamedAtStartUp) {
  const struct {
    const char* name;
    std::string text;  // empty name: the file is removed
    std::string reason;
  } cases[] = {
      {"missing", {}, "io.ini is missing"},
      {"not hex", "[OUTPUTS]\nCoin pulse=00000000000014ZZYYYN\n",
       "io.ini [OUTPUTS] Coin pulse=00000000000014ZZYYYN is not a function template"},
      {"10 MB", "[OUTPUTS]\n" + std::string(10 * 1024 * 1024, ';'),
       "io.ini: it is larger than 4 MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigBench bench;
    const std::string io = bench.dir + "/io.ini";
    if (std::string(c.name) == "missing") {
      std::filesystem::remove(io);
    } else {
      bench.own_dir.write("io.ini", c.text);
    }
    bench.ui.clear();
    bench.app.configuration.prepare(bench.dir);
    ASSERT_EQ(bench.ui.errors().size(), 1u);
    const std::string notice = bench.ui.errors()[0];
    EXPECT_EQ(notice.rfind("The I/O rules are off: " + full_path(io), 0), 0u) << notice;
    EXPECT_NE(notice.find(c.reason), std::string::npos) << notice;
    // Nothing half-read is left to check against.
    EXPECT_TRUE(bench.app.configuration.rules.catalogue().outputs().empty());
    EXPECT_TRUE(bench.app.configuration.rules.catalogue().inputs().empty());
  }
}

TEST(IoRulesOff, DownloadOfTheIoSectionAsksFirst) {
  for (const Answer answer : {Answer::No, Answer::Yes}) {
    SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
    ConfigBench bench;
    std::filesystem::remove(bench.dir + "/io.ini");
    bench.app.configuration.prepare(bench.dir);
    load_known_configuration(bench.device());
    ASSERT_TRUE(bench.app.upload());
    bench.ui.clear();
    bench.ui.answers.push_back(answer);
    const std::size_t writes = bench.requests(kWriteMemory).size();

    EXPECT_EQ(bench.app.download(), answer == Answer::Yes);
    ASSERT_EQ(bench.ui.questions().size(), 1u);
    EXPECT_NE(bench.ui.questions()[0].find("io.ini is missing"), std::string::npos);
    EXPECT_NE(bench.ui.questions()[0].find("Download it anyway?"), std::string::npos);
    EXPECT_EQ(bench.requests(kWriteMemory).size() > writes, answer == Answer::Yes);
  }

}

}  // namespace
}  // namespace qv82::test
