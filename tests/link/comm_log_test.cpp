#include "link/comm_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace qv82 {
namespace {

TEST(CommLog, KeepsAtMost2001LinesDroppingTheOldestOncePerLine) {
  CommLog log;
  int drops = 0;
  log.on_line_added = [&](bool dropped) { drops += dropped ? 1 : 0; };
  for (int i = 0; i <= 2000; ++i) log.add_log_line("-> " + std::to_string(i));
  EXPECT_EQ(drops, 0);
  log.add_log_line("-> 2001");
  log.add_log_line("-> 2002");
  EXPECT_EQ(drops, 2);
  EXPECT_EQ(log.lines().size(), 2001u);
  EXPECT_EQ(log.lines().front(), "-> 2");
  EXPECT_EQ(log.lines().back(), "-> 2002");
}

TEST(CommLog, LogFileGetsEachLineAndStartsEmptyWhenCheckedAgain) {
  test::TempDir dir;
  // The log is a text file: Windows ends its lines with CR LF.
  const auto logged = [&dir] {
    std::string text = dir.read("log.txt");
    std::erase(text, '\r');
    return text;
  };
  CommLog log(dir.path());
  log.add_log_line("-> before");
  ASSERT_FALSE(log.set_log_to_file(true));
  log.add_log_line("-> 0201FE");
  log.add_log_line("<- 010002");
  log.set_log_to_file(false);
  log.add_log_line("-> not logged");
  EXPECT_EQ(logged(), "-> 0201FE\n<- 010002\n");
  ASSERT_FALSE(log.set_log_to_file(true));
  log.add_log_line("-> again");
  EXPECT_EQ(logged(), "-> again\n");

  CommLog nowhere(dir.file("missing"));
  const auto error = nowhere.set_log_to_file(true);
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("log.txt"), std::string::npos);
}

TEST(CommLog, SaveForcesTxtExtensionAndReplacesFormerContent) {
  test::TempDir dir;
  CommLog log;
  log.add_log_line("-> 0201FE");
  log.add_log_line("<- 010002");
  const std::pair<const char*, const char*> cases[] = {
      {"trace.log", "trace.txt"}, {"old.txt", "old.txt"}};
  for (const auto& [typed, written] : cases) {
    dir.write(written, "former content that is longer than the log\n");
    std::string error;
    EXPECT_EQ(log.save_to_file(dir.file(typed), error), dir.file(written)) << error;
    EXPECT_EQ(dir.read(written), "-> 0201FE\n<- 010002\n") << typed;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("trace.log")));
}

}  // namespace
}  // namespace qv82
