#include "link/comm_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace qv82 {
namespace {

namespace fs = std::filesystem;

class CommLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(test::make_temp_dir()) / "log";
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path dir_;
};

TEST_F(CommLogTest, KeepsAtMost2001LinesDroppingTheOldestOncePerLine) {
  CommLog log;
  int drops = 0;
  log.on_line_added = [&](bool dropped) { drops += dropped ? 1 : 0; };
  for (int i = 0; i < 2000; ++i) log.add_log_line("-> " + std::to_string(i));
  log.add_log_line("<- 2000");
  EXPECT_EQ(log.size(), 2001u);
  EXPECT_EQ(drops, 0);
  log.add_log_line("-> 2001");
  log.add_log_line("-> 2002");
  EXPECT_EQ(log.size(), 2001u);
  EXPECT_EQ(drops, 2);
  EXPECT_EQ(log.lines().front(), "-> 2");
  EXPECT_EQ(log.lines().back(), "-> 2002");
  log.clear();
  EXPECT_EQ(log.size(), 0u);
}

TEST_F(CommLogTest, LogFileGetsEachLineAndStartsEmptyWhenCheckedAgain) {
  CommLog log(dir_.string());
  log.add_log_line("-> before");
  ASSERT_FALSE(log.set_log_to_file(true));
  log.add_log_line("-> 0201FE");
  log.add_log_line("<- 010002");
  EXPECT_EQ(read(dir_ / "log.txt"), "-> 0201FE\n<- 010002\n");
  log.set_log_to_file(false);
  log.add_log_line("-> not logged");
  EXPECT_EQ(read(dir_ / "log.txt"), "-> 0201FE\n<- 010002\n");
  ASSERT_FALSE(log.set_log_to_file(true));
  EXPECT_EQ(read(dir_ / "log.txt"), "");
  log.add_log_line("-> again");
  EXPECT_EQ(read(dir_ / "log.txt"), "-> again\n");
}

TEST_F(CommLogTest, LogFileThatCannotBeCreatedIsReportedAndListIsUnaffected) {
  CommLog log((dir_ / "missing").string());
  const auto error = log.set_log_to_file(true);
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("log.txt"), std::string::npos);
  EXPECT_FALSE(log.logging_to_file());
  log.add_log_line("-> still listed");
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(CommLogTest, SaveForcesTxtExtensionAndReplacesFormerContent) {
  CommLog log;
  log.add_log_line("-> 0201FE");
  log.add_log_line("<- 010002");
  struct Case {
    std::string typed;
    std::string written;
  };
  for (const Case& c :
       {Case{"trace.log", "trace.txt"}, Case{"trace", "trace.txt"}, Case{"old.txt", "old.txt"}}) {
    std::ofstream(dir_ / c.written) << "former content that is longer than the log\n";
    std::string error;
    const auto written = log.save_to_file((dir_ / c.typed).string(), error);
    ASSERT_TRUE(written) << error;
    EXPECT_EQ(*written, (dir_ / c.written).string());
    EXPECT_EQ(read(dir_ / c.written), "-> 0201FE\n<- 010002\n") << c.typed;
  }
  EXPECT_FALSE(fs::exists(dir_ / "trace.log"));
}

TEST_F(CommLogTest, FailedSaveReportsAndLeavesNoFile) {
  CommLog log;
  log.add_log_line("-> 0201FE");
  std::string error;
  EXPECT_FALSE(log.save_to_file((dir_ / "missing" / "x.txt").string(), error));
  EXPECT_NE(error.find("x.txt"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST(CommLogLines, ReceivedLinesAreThoseStartingWithTheArrow) {
  EXPECT_TRUE(is_received_line("<- 010002"));
  EXPECT_FALSE(is_received_line("-> 0201FE"));
  EXPECT_FALSE(is_received_line("<"));
}

}  // namespace
}  // namespace qv82
