#pragma once

#include <array>
#include <string_view>

namespace qv82 {

// The "CC" drop-down: 182 entries "code - name". The stored country byte is the entry's
// position; the last entry is never stored as its position but as 255.
inline constexpr int kCountryCount = 182;
inline constexpr int kCountryNotProgrammed = 181;

const std::array<std::string_view, kCountryCount>& country_list();

// The two-letter code of entry i ("TK", "EU", ..., ".."); empty for an index out of range.
std::string_view country_code(int index);

}  // namespace qv82
