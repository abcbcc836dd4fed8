// An io.ini that cannot be used turns the I/O rules off: start-up says so
// once, naming the file's full path, and a Download that holds I/O records
// asks before anything is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "config/transfer_bench.h"
#include "files/full_path.h"

namespace qv82::test {
namespace {

const Bytes kWriteMemory = {0xFF, 0x03};

TEST(IoRulesOff, DownloadOfTheIoSectionAsksFirst) {
  for (const Answer answer : {Answer::No, Answer::Yes}) {
    SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
    ConfigBench bench;
    const std::string io = bench.dir + "/io.ini";
    std::filesystem::remove(io);
    bench.ui.clear();
    bench.app.configuration.prepare(bench.dir);
    ASSERT_EQ(bench.ui.errors().size(), 1u);
    EXPECT_EQ(bench.ui.errors()[0].rfind("The I/O rules are off: " + full_path(io), 0), 0u)
        << bench.ui.errors()[0];
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
