#include "link/comm_log.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace qv82 {
namespace {

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

}  // namespace
}  // namespace qv82
