#pragma once

#include <string>
#include <string_view>

namespace qv82 {

// The characters C's isspace takes for blanks: space, tab, LF, VT, FF, CR.
inline constexpr std::string_view kWhitespace = " \t\n\v\f\r";

// The text without leading and trailing characters out of `blanks`.
std::string_view trim(std::string_view text, std::string_view blanks = kWhitespace);
// The same with blanks told by a test (the XML reader counts every control
// character as one).
std::string_view trim(std::string_view text, bool (*is_blank)(char));
// The text without trailing characters out of `blanks`.
std::string_view trim_end(std::string_view text, std::string_view blanks = kWhitespace);

// The value of one hexadecimal digit of either case; -1 for anything else.
int hex_digit(char c);
// Two characters read as a hex byte; -1 when they are not (or fewer than two).
int hex_pair(std::string_view two);
// A byte as two upper-case hex digits (the low eight bits of value).
std::string hex_byte(unsigned value);
// A memory address as the files and messages write it: "0x05B0" (low 16 bits).
std::string hex_address(unsigned address);
// True when every character is a hexadecimal digit (so also for no text).
bool all_hex(std::string_view text);

// The text in capitals, letter by letter as C's toupper does.
std::string upper_case(std::string_view text);
// Equal, or starting with the prefix, when letter case is ignored (toupper).
bool same_text_ignoring_case(std::string_view a, std::string_view b);
bool starts_with_ignoring_case(std::string_view text, std::string_view prefix);

}  // namespace qv82
