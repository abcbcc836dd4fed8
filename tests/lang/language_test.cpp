#include "lang/language.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "lang/message_table.h"

namespace qv82 {
namespace {

const std::set<int> kAbsent = {224, 245, 280, 315, 319};
const int kBases[] = {kEnglishBase, kItalianBase, kCroatianBase};

// Restores English after tests that switch the language.
class LanguageTest : public ::testing::Test {
 protected:
  void TearDown() override { set_language_base(kEnglishBase); }
};

TEST_F(LanguageTest, EnglishByDefaultOtherLanguagesBySettingTheBase) {
  EXPECT_EQ(language_base(), kEnglishBase);
  EXPECT_EQ(language_text(msg::kThisOutputIsAlreadyDefined), "This output is already defined");
  EXPECT_EQ(language_text(msg::kLanguageName), "English");

  ASSERT_TRUE(set_language_base(kItalianBase));
  EXPECT_NE(language_text(322), "This output is already defined");
  EXPECT_FALSE(language_text(322).empty());
  EXPECT_EQ(language_text(0), "Italiano");

  ASSERT_TRUE(set_language_base(kCroatianBase));
  EXPECT_EQ(language_text(0), "Hrvatski");

  // A base without a table would blank every caption: refused, language kept.
  EXPECT_FALSE(set_language_base(4000));
  EXPECT_EQ(language_base(), kCroatianBase);
}

TEST_F(LanguageTest, UnknownNumbersGiveEmptyText) {
  for (int number : {224, 245, 280, 315, 319, 329, 999, -1, 1000, 1322}) {
    EXPECT_EQ(language_text(number), "") << number;
  }
  EXPECT_EQ(resource_text(2322), find_message(italian_messages(), 322));
  EXPECT_EQ(resource_text(4000), "");
}

TEST_F(LanguageTest, TextsAreCutTo255Characters) {
  const std::string long_ascii(300, 'x');
  std::string long_accented;
  for (int i = 0; i < 300; ++i) long_accented += "\xC4\x8D";  // U+010D, two bytes
  const MessageEntry table[] = {{1, long_ascii.c_str()}, {2, long_accented.c_str()}};

  EXPECT_EQ(find_message(table, 1), std::string(255, 'x'));
  // Counted in characters, never ending inside a multi-byte sequence.
  EXPECT_EQ(find_message(table, 2), long_accented.substr(0, 510));
}

TEST_F(LanguageTest, EveryLanguageHoldsTheSameNumbers) {
  std::vector<int> expected;
  for (int n = 0; n <= 328; ++n) {
    if (!kAbsent.count(n)) expected.push_back(n);
  }
  for (int n = 340; n <= 361; ++n) expected.push_back(n);
  for (int n = 420; n <= 438; ++n) expected.push_back(n);
  ASSERT_EQ(expected.size(), 365u);
  for (int base : kBases) {
    std::vector<int> numbers;
    for (const MessageEntry& entry : message_table(base)) {
      numbers.push_back(entry.number);
      EXPECT_FALSE(std::string(entry.text).empty()) << base + entry.number;
    }
    // Lookup needs ascending numbers; equality also rules out duplicates.
    EXPECT_EQ(numbers, expected) << base;
  }
}

TEST_F(LanguageTest, TranslationsKeepTheBlanksUsedForJoining) {
  for (const MessageEntry& entry : english_messages()) {
    const std::string english = entry.text;
    for (int base : {kItalianBase, kCroatianBase}) {
      const std::string other = find_message(message_table(base), entry.number);
      EXPECT_EQ(english.front() == ' ', other.front() == ' ') << base + entry.number;
      EXPECT_EQ(english.back() == ' ', other.back() == ' ') << base + entry.number;
    }
  }
}

TEST_F(LanguageTest, EnglishTextsAsTheProgramShowsThem) {
  const std::vector<std::pair<int, std::string>> cases = {
      {msg::kFoundAt, " found at  "},
      {msg::kStatistic, " Statistic  "},
      {msg::kApplicationTitle, "QV82HS programming and configuration utility"},
      {msg::kWiew, "Wiew:"},
      {msg::kRecomendedIs1Impuls, "Recomended is 1 impuls"},
      {msg::kIsAllreadyProgrammed, " is allready programmed!"},
      {msg::kFakeEn, "Fake    en."},
      {msg::kCoinSelectorNotFound, "Coin selector not found!"},
      {msg::kOperationFinished, "Operation finished"},
      {msg::kCannotChangeInput, "Cannot change input"},
  };
  for (const auto& [number, text] : cases) EXPECT_EQ(language_text(number), text) << number;
  // The window title is built from message 28.
  EXPECT_EQ(language_text(28) + " ver " + "1.000",
            "QV82HS programming and configuration utility ver 1.000");
}

}  // namespace
}  // namespace qv82
