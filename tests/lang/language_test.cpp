#include "lang/language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
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

// Every number of the original table is there; every language holds the same numbers, each
// with a text, in ascending order (lookup needs it; equality rules out duplicates).
TEST_F(LanguageTest, EveryLanguageHoldsTheSameNumbers) {
  std::vector<int> english;
  for (const MessageEntry& entry : message_table(kEnglishBase)) english.push_back(entry.number);
  for (int n = 0; n <= 328; ++n) {
    EXPECT_EQ(std::count(english.begin(), english.end(), n), kAbsent.count(n) ? 0 : 1) << n;
  }
  for (int base : kBases) {
    std::vector<int> numbers;
    for (const MessageEntry& entry : message_table(base)) {
      numbers.push_back(entry.number);
      EXPECT_FALSE(std::string(entry.text).empty()) << base + entry.number;
    }
    EXPECT_EQ(numbers, english) << base;
  }
  EXPECT_TRUE(std::is_sorted(english.begin(), english.end()));
  EXPECT_EQ(std::adjacent_find(english.begin(), english.end()), english.end());
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

namespace qv82 {
namespace {

// Every number the code names (the msg:: constants) has a text in all three
// languages: a name added without its translations would show an empty box.
TEST(MessageNames, EveryNamedNumberHasATextInEveryLanguage) {
  std::ifstream header(std::string(QV82_SOURCE_DIR) + "/src/lang/messages.h");
  ASSERT_TRUE(header) << "messages.h not found";
  std::stringstream text;
  text << header.rdbuf();
  const std::string source = text.str();
  const std::regex constant(R"(inline constexpr int (k\w+)\s*=\s*(\d+);)");
  int names = 0;
  for (auto it = std::sregex_iterator(source.begin(), source.end(), constant);
       it != std::sregex_iterator(); ++it) {
    ++names;
    const int number = std::stoi((*it)[2]);
    for (int base : {kEnglishBase, kItalianBase, kCroatianBase}) {
      EXPECT_NE(resource_text(base + number), "") << (*it)[1] << " = " << number << " in " << base;
    }
  }
  EXPECT_GT(names, 300);
}

// The texts added after the original table are translated, not copied.
TEST(MessageNames, LaterTextsAreTranslated) {
  // Words the other language borrows (Italian "file", "byte", "no") and
  // abbreviations that happen to match.
  const std::set<std::string> borrowed = {"File", "Sel.", "Dir.", "min", "max", "No", "%1 byte"};
  for (const MessageEntry& entry : english_messages()) {
    if (entry.number < 326) continue;
    for (int base : {kItalianBase, kCroatianBase}) {
      const std::string translated = resource_text(base + entry.number);
      if (borrowed.count(entry.text) != 0) continue;
      EXPECT_NE(translated, entry.text) << base + entry.number;
    }
  }
}

// What the command line prints for scripts is put back into English, also
// when it was made of messages and data, and a message's marks filled.
TEST(MessageNames, EnglishFormsOfComposedTexts) {
  const ScopedLanguage croatian(kCroatianBase);
  const std::string found =
      language_text(msg::kCoinSelectorWithAddress) + "2" + language_text(msg::kFoundAt) + "SIM";
  EXPECT_EQ(english_form(found), "Coin selector with address 2 found at  SIM");
  EXPECT_EQ(english_form(language_text(msg::kCoinSelectorNotFoundAt, {"9"})),
            "Coin selector not found at address 9!");
  EXPECT_EQ(english_form("QV82HS-1.02"), "QV82HS-1.02") << "data stays as it is";
  EXPECT_EQ(translated_form("All files"), "Sve datoteke");
  EXPECT_EQ(plural_message(3, 1, 2, 3), 2);
  EXPECT_EQ(plural_message(13, 1, 2, 3), 3);
  EXPECT_EQ(plural_message(21, 1, 2, 3), 1);
}

TEST(MessageNames, LanguageCodes) {
  EXPECT_EQ(language_base_of("EN"), kEnglishBase);
  EXPECT_EQ(language_base_of("it"), kItalianBase);
  EXPECT_EQ(language_base_of("Hr"), kCroatianBase);
  for (const char* unknown : {"", "FR", "E", "ENG", " IT"}) EXPECT_EQ(language_base_of(unknown), 0);
  for (int base : {kEnglishBase, kItalianBase, kCroatianBase}) {
    EXPECT_EQ(language_base_of(language_code(base)), base);
  }
}

}  // namespace
}  // namespace qv82
