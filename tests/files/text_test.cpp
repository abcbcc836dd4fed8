// The text helpers every reader shares: each caller's own blanks, and hex
// digits of either case but nothing else.
#include "files/text.h"

#include <gtest/gtest.h>

namespace qv82::test {
namespace {

bool control_or_space(char c) { return static_cast<unsigned char>(c) <= 32; }

TEST(Text, TrimKeepsWhatTheCallersBlanksDoNotName) {
  EXPECT_EQ(trim(" \t\v\f\r\nA B\n "), "A B");
  EXPECT_EQ(trim("\nkey = v\n", " \t\r\f\v"), "\nkey = v\n");  // a settings line keeps LF
  EXPECT_EQ(trim(std::string_view("\x01\x1F value\0", 9), control_or_space), "value");
  EXPECT_EQ(trim_end("S1 \r\n"), "S1");
  EXPECT_EQ(trim_end(" \r\n"), "");
}

TEST(Text, HexDigitsOfEitherCaseAndNothingElse) {
  EXPECT_EQ(hex_pair("0a"), 10);
  EXPECT_EQ(hex_pair("FF"), 255);
  for (const char* bad : {"G0", "0g", " 1", "1", "", "-1"}) EXPECT_EQ(hex_pair(bad), -1) << bad;
  EXPECT_TRUE(all_hex("0123456789abcdefABCDEF"));
  EXPECT_FALSE(all_hex("12 3"));
  EXPECT_EQ(hex_byte(0x1AB), "AB");
  EXPECT_EQ(upper_case("ab1\xe9"), "AB1\xe9");
}

}  // namespace
}  // namespace qv82::test
