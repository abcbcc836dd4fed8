#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "files/text.h"

namespace qv82 {

// Small helpers over the hex texts of the working images. Positions are
// counted from 0 here; the text may be shorter than expected (records read
// from a damaged file), so every read is bounded.

// The characters [pos, pos + len) of text, fewer (or none) past its end.
std::string text_part(std::string_view text, std::size_t pos, std::size_t len);

// Byte b (0-based) of a hex record: digits 2b and 2b + 1. -1 when the
// digits are missing or not hexadecimal.
int record_byte(std::string_view text, std::size_t b);

// Replaces (or appends, padding with '0') the two digits of byte b.
void set_record_byte(std::string& text, std::size_t b, unsigned value);

// num / den rounded to the nearest integer, halves to even; den > 0.
long round_half_even(long num, long den);

// The direction digit of an I/O record (its fourth character) for the
// other direction: 1 <-> 2, 3 <-> 4; any other digit stays as it is.
char swapped_direction(char digit);

// Leading and trailing spaces, tabs, CR and LF removed.
std::string trimmed(std::string_view text);

// A sorter output's record: class 01 in sorter mode, with either active
// level ("0103" or "0183"). Every rule that asks about sorters asks this.
bool is_sorter_record(std::string_view record);

// Whether the two-character code is one of the aligned pairs of list.
bool list_has_pair(std::string_view list, std::string_view code);

}  // namespace qv82
