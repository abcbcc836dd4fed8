#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "lang/messages.h"

namespace qv82 {

// A language is a base added to the message number: identifier = base + number.
inline constexpr int kEnglishBase = 1000;
inline constexpr int kItalianBase = 2000;
inline constexpr int kCroatianBase = 3000;

// Messages are shown from a 256-byte buffer, so at most 255 characters.
inline constexpr std::size_t kMaxMessageLength = 255;

// The language in use; English until set_language_base chooses another.
int language_base();

// Chooses the language. Only the three bases above are accepted; any other
// value is refused (false) and the current language stays, so that a wrong
// number cannot blank every caption.
bool set_language_base(int base);

// The text of a message number in the current language, or "" when the
// number has no text (224, 245, 280, 315, 319, anything outside 0 ... 999).
std::string language_text(int number);

// The same with %1, %2 ... replaced by the values, in order: a sentence
// keeps its word order in every language.
std::string language_text(int number, std::initializer_list<std::string> values);

// Another language for a while, the one before restored at the end of the
// scope: the command line prints its forms for scripts in English whatever
// the language of its messages.
class ScopedLanguage {
 public:
  explicit ScopedLanguage(int base) : before_(language_base()) { set_language_base(base); }
  ~ScopedLanguage() { set_language_base(before_); }
  ScopedLanguage(const ScopedLanguage&) = delete;
  ScopedLanguage& operator=(const ScopedLanguage&) = delete;

 private:
  int before_;
};

// The text in English of a message of the current language, or the text
// itself when it is no message (data appended, say).
std::string english_form(const std::string& text);

// The English text of a message, whatever the current language.
std::string english_text(int number);

// The other way: the text of the current language for an English message
// text, or the text itself when it is none.
std::string translated_form(const std::string& english);

// The message for a count in the current language's plural forms: Croatian
// tells one (1, 21, ...), a few (2-4, 22-24, ...) and many; English and
// Italian one and many.
int plural_message(unsigned long count, int one, int few, int many);

// The base of a language code of the settings and the command line: "EN",
// "IT" or "HR", in any letter case; 0 for anything else.
int language_base_of(std::string_view code);

// The code of a language base ("EN", "IT", "HR"); "" for an unknown base.
std::string language_code(int base);

// The text of a full identifier (base + number), "" when there is none.
std::string resource_text(int identifier);

}  // namespace qv82
