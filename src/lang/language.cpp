#include "lang/language.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <optional>
#include <span>
#include <vector>

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

namespace {

// The text with %1 ... %9 replaced by the values; a mark without a value
// stays as it is.
std::string fill_marks(const std::string& text, std::span<const std::string> values) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const std::size_t index = static_cast<std::size_t>(next - '1');
    if (text[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
      result += values[index];
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

}  // namespace

std::string language_text(int number, std::initializer_list<std::string> values) {
  return fill_marks(language_text(number), std::span<const std::string>(values.begin(), values.size()));
}

namespace {

// The values of a text made from a message with %1 ... %9 marks, in the
// order of the marks, when the text is one; nothing otherwise.
std::optional<std::vector<std::string>> fill_of(std::string_view pattern, std::string_view text) {
  std::vector<std::string_view> pieces;  // the literal text between the marks
  std::vector<int> marks;
  std::size_t begin = 0;
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] == '%' && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      pieces.push_back(pattern.substr(begin, i - begin));
      marks.push_back(pattern[i + 1] - '1');
      begin = i + 2;
      ++i;
    }
  }
  pieces.push_back(pattern.substr(begin));
  // Mostly marks ("%1: %2") would take almost any text for one.
  std::size_t literal = 0;
  for (const std::string_view piece : pieces) literal += piece.size();
  if (marks.empty() || literal < 4) return std::nullopt;
  if (text.substr(0, pieces.front().size()) != pieces.front()) return std::nullopt;
  std::size_t at = pieces.front().size();
  std::vector<std::string> values(9);
  for (std::size_t m = 0; m < marks.size(); ++m) {
    const std::string_view next = pieces[m + 1];
    const bool last = m + 1 == marks.size();
    const std::size_t found = last ? (text.size() >= next.size() + at &&
                                              text.substr(text.size() - next.size()) == next
                                          ? text.size() - next.size()
                                          : std::string_view::npos)
                                   : text.find(next, at);
    if (found == std::string_view::npos || (next.empty() && !last)) return std::nullopt;
    values[static_cast<std::size_t>(marks[m])] = std::string(text.substr(at, found - at));
    at = found + next.size();
  }
  return values;
}

std::string english_of(const MessageEntry& entry) { return english_text(entry.number); }

}  // namespace

std::string english_text(int number) { return resource_text(kEnglishBase + number); }

std::string english_form(const std::string& text) {
  if (language_base() == kEnglishBase) return text;
  const std::span<const MessageEntry> table = message_table(language_base());
  for (const MessageEntry& entry : table) {
    if (entry.text != nullptr && text == entry.text) return english_of(entry);
  }
  // A message with values in its marks.
  for (const MessageEntry& entry : table) {
    if (entry.text == nullptr) continue;
    if (const auto values = fill_of(entry.text, text)) return fill_marks(english_of(entry), *values);
  }
  // Messages joined with data between them ("... with address " 2 " found
  // at " port): each message part, the longest that fits first, in English.
  std::string result;
  std::size_t at = 0;
  while (at < text.size()) {
    const MessageEntry* best = nullptr;
    std::size_t best_length = 0;
    for (const MessageEntry& entry : table) {
      if (entry.text == nullptr) continue;
      const std::string_view candidate(entry.text);
      if (candidate.size() < 4 || candidate.size() <= best_length) continue;
      if (text.compare(at, candidate.size(), candidate) == 0) {
        best = &entry;
        best_length = candidate.size();
      }
    }
    if (best == nullptr) {
      result += text[at++];
    } else {
      result += english_of(*best);
      at += best_length;
    }
  }
  return result;
}

std::string translated_form(const std::string& english) {
  for (const MessageEntry& entry : message_table(kEnglishBase)) {
    if (entry.text != nullptr && english == entry.text) return language_text(entry.number);
  }
  return english;
}

int plural_message(unsigned long count, int one, int few, int many) {
  if (language_base() != kCroatianBase) return count == 1 ? one : many;
  const unsigned long last = count % 10;
  const unsigned long last_two = count % 100;
  if (last == 1 && last_two != 11) return one;
  if (last >= 2 && last <= 4 && (last_two < 12 || last_two > 14)) return few;
  return many;
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
