#include "lang/language.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "lang/message_table.h"

namespace qv82 {
namespace {

const int kBases[] = {kEnglishBase, kItalianBase, kCroatianBase};

// Texts the user reads on buttons, in boxes and in the title.
TEST(Language, EnglishTextsAsTheProgramShowsThem) {
  const std::pair<int, const char*> cases[] = {
      {msg::kLanguageName, "English"},
      {msg::kClose, "Close"},
      {msg::kCloseApplication, "Close application?"},
      {msg::kFoundAt, " found at  "},
      {msg::kWiew, "Wiew:"},
  };
  for (const auto& [number, text] : cases) EXPECT_EQ(language_text(number), text) << number;
}

TEST(Language, UnknownNumbersGiveEmptyText) {
  for (int number : {224, 245, 280, 315, 319, 329, 999, -1, 1000, 1322}) {
    EXPECT_EQ(language_text(number), "") << number;
  }
  EXPECT_EQ(resource_text(2322), find_message(italian_messages(), 322));
  EXPECT_EQ(resource_text(4000), "");
}

TEST(Language, TextsAreCutTo255Characters) {
  const std::string long_ascii(300, 'x');
  std::string long_accented;
  for (int i = 0; i < 300; ++i) long_accented += "\xC4\x8D";  // U+010D, two bytes
  const MessageEntry table[] = {{1, long_ascii.c_str()}, {2, long_accented.c_str()}};
  EXPECT_EQ(find_message(table, 1), std::string(255, 'x'));
  // Counted in characters, never ending inside a multi-byte sequence.
  EXPECT_EQ(find_message(table, 2), long_accented.substr(0, 510));
}

// Every number the code names has a text in all three languages (a name
// added without its translations would show an empty box), the blanks used
// for joining are kept and the later texts are translated, not copied.
TEST(Language, EveryNamedNumberHasItsTranslations) {
  std::ifstream header(std::string(QV82_SOURCE_DIR) + "/src/lang/messages.h");
  ASSERT_TRUE(header) << "messages.h not found";
  std::stringstream text;
  text << header.rdbuf();
  const std::string source = text.str();
  const std::regex constant(R"(inline constexpr int (k\w+)\s*=\s*(\d+);)");
  int names = 0;
  for (auto it = std::sregex_iterator(source.begin(), source.end(), constant);
       it != std::sregex_iterator(); ++it, ++names) {
    for (int base : kBases) EXPECT_NE(resource_text(base + std::stoi((*it)[2])), "") << (*it)[1];
  }
  EXPECT_GT(names, 300);

  // Words the other language borrows and abbreviations that happen to match.
  const std::set<std::string> borrowed = {"File", "Sel.", "Dir.", "min", "max", "No", "%1 byte"};
  for (const MessageEntry& entry : english_messages()) {
    const std::string english = entry.text;
    for (int base : {kItalianBase, kCroatianBase}) {
      const std::string other = resource_text(base + entry.number);
      ASSERT_FALSE(other.empty()) << base + entry.number;
      EXPECT_EQ(english.front() == ' ', other.front() == ' ') << base + entry.number;
      EXPECT_EQ(english.back() == ' ', other.back() == ' ') << base + entry.number;
      if (entry.number >= 326 && !borrowed.count(english)) {
        EXPECT_NE(other, english);
      }
    }
  }
}

// What the command line prints for scripts is put back into English, also
// when it was made of messages and data, and a message's marks filled.
TEST(Language, EnglishFormsOfComposedTexts) {
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

TEST(Language, LanguageCodes) {
  EXPECT_EQ(language_base_of("it"), kItalianBase);
  for (const char* unknown : {"", "FR", "E", "ENG", " IT"}) EXPECT_EQ(language_base_of(unknown), 0);
  for (int base : kBases) EXPECT_EQ(language_base_of(language_code(base)), base);
}

}  // namespace
}  // namespace qv82
