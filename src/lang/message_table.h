#pragma once

#include <span>
#include <string>

namespace qv82 {

// One text of the message table. Numbers are the same in every language.
struct MessageEntry {
  int number;
  const char* text;
};

// The tables of the three languages, each sorted by message number.
std::span<const MessageEntry> english_messages();
std::span<const MessageEntry> italian_messages();
std::span<const MessageEntry> croatian_messages();

// The table selected by a language base (1000, 2000, 3000); empty for any other.
std::span<const MessageEntry> message_table(int base);

// The text of a message number in a table sorted by number, cut to the
// 255-character limit of a message; empty when the number is not in it.
std::string find_message(std::span<const MessageEntry> table, int number);

}  // namespace qv82
