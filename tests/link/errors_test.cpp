// Values and files as messages name them.
#include "link/errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace qv82::test {
namespace {

TEST(QuotedValue, ShowsEveryByteAndAtMostSixtyCharacters) {
  using namespace std::string_literals;
  const struct {
    std::string text;
    std::string quoted;
  } cases[] = {
      {"", "''"},
      {"0A", "'0A'"},
      // A NUL would end the message where it is turned into C text.
      {"0\0"
       "1\n"s,
       "'0\\x001\\x0A'"},
      {std::string(60, 'x'), "'" + std::string(60, 'x') + "'"},
      {std::string(5000, 'x'), "'" + std::string(60, 'x') + "...'"},
  };
  for (const auto& c : cases) EXPECT_EQ(quoted_value(c.text), c.quoted);

  try {
    parse_hex_number(
        "1\0"
        "2"s +
        std::string(100, 'Z'));
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    const std::string what = e.what();
    EXPECT_EQ(what.rfind("'1\\x002ZZ", 0), 0u) << what;
    EXPECT_LT(what.size(), 120u) << what;
  }
}

TEST(FileProblem, NamesTheFileAndTheReason) {
  TempDir dir;
  dir.write("ok.ini", "[SETTINGS]\n");
  EXPECT_EQ(file_problem(dir.file("ok.ini")), "");
  EXPECT_EQ(file_problem(dir.file("none.ini")), dir.file("none.ini") + " is missing");
  EXPECT_EQ(file_problem(dir.path()), dir.path() + " is a folder, not a file");
}

}  // namespace
}  // namespace qv82::test
