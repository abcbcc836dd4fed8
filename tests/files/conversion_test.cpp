// Values as messages name them.
#include "files/conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace qv82::test {
namespace {

TEST(QuotedValue, ShowsEveryByteAndAtMostSixtyCharacters) {
  using namespace std::string_literals;
  const struct {
    std::string text;
    std::string quoted;
  } cases[] = {
      {"", "''"},
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
}  // namespace
}  // namespace qv82::test
