#include "lang/language.h"

#include <algorithm>
#include <atomic>
#include <cctype>

#include "lang/message_table.h"

namespace qv82 {

namespace {

constexpr int kBaseStep = 1000;

std::atomic<int> current_base{kEnglishBase};

// Cuts to kMaxMessageLength characters without splitting a UTF-8 sequence
// (the translations carry accented letters).
std::string clip_text(const char* text) {
  std::string result;
  std::size_t characters = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    const bool starts_character = (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
    if (starts_character && ++characters > kMaxMessageLength) break;
    result.push_back(*p);
  }
  return result;
}

}  // namespace

std::span<const MessageEntry> message_table(int base) {
  switch (base) {
    case kEnglishBase:
      return english_messages();
    case kItalianBase:
      return italian_messages();
    case kCroatianBase:
      return croatian_messages();
    default:
      return {};
  }
}

std::string find_message(std::span<const MessageEntry> table, int number) {
  const auto it =
      std::lower_bound(table.begin(), table.end(), number,
                       [](const MessageEntry& entry, int wanted) { return entry.number < wanted; });
  if (it == table.end() || it->number != number || it->text == nullptr) return {};
  return clip_text(it->text);
}

int language_base() { return current_base.load(); }

bool set_language_base(int base) {
  if (message_table(base).empty()) return false;
  current_base.store(base);
  return true;
}

std::string resource_text(int identifier) {
  if (identifier < 0) return {};
  return find_message(message_table(identifier / kBaseStep * kBaseStep), identifier % kBaseStep);
}

std::string language_text(int number, std::initializer_list<std::string> values) {
  const std::string text = language_text(number);
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const std::size_t index = static_cast<std::size_t>(next - '1');
    if (text[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
      result += values.begin()[index];
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

std::string english_form(const std::string& text) {
  for (const MessageEntry& entry : message_table(language_base())) {
    if (text == entry.text) return resource_text(kEnglishBase + entry.number);
  }
  return text;
}

int language_base_of(std::string_view code) {
  for (const int base : {kEnglishBase, kItalianBase, kCroatianBase}) {
    const std::string known = language_code(base);
    if (code.size() == known.size() &&
        std::equal(code.begin(), code.end(), known.begin(), [](char a, char b) {
          return std::toupper(static_cast<unsigned char>(a)) == b;
        })) {
      return base;
    }
  }
  return 0;
}

std::string language_code(int base) {
  switch (base) {
    case kEnglishBase:
      return "EN";
    case kItalianBase:
      return "IT";
    case kCroatianBase:
      return "HR";
    default:
      return {};
  }
}

std::string language_text(int number) {
  // A number of 1000 or more would reach into the next language's block.
  if (number < 0 || number >= kBaseStep) return {};
  return resource_text(language_base() + number);
}

}  // namespace qv82
