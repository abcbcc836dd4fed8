// Hex digits of either case but nothing else, as every reader takes them.
#include "files/text.h"

#include <gtest/gtest.h>

namespace qv82::test {
namespace {

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
