// Files as messages name them.
#include "files/read_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace qv82::test {
namespace {

TEST(FileProblem, NamesTheFileAndTheReason) {
  TempDir dir;
  dir.write("ok.ini", "[SETTINGS]\n");
  EXPECT_EQ(file_problem(dir.file("ok.ini")), "");
  EXPECT_EQ(file_problem(dir.file("none.ini")), dir.file("none.ini") + " is missing");
  EXPECT_EQ(file_problem(dir.path()), dir.path() + " is a folder, not a file");
}

}  // namespace
}  // namespace qv82::test
