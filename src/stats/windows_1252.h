#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv82 {

// The code page the sheet's labels are written in, as its CODEPAGE record names it.
inline constexpr std::uint16_t kWindows1252 = 1252;

// UTF-8 text as Windows-1252 bytes. A character the code page cannot hold, and a byte that is
// not part of valid UTF-8, becomes "?".
std::string to_windows_1252(std::string_view utf8);

}  // namespace qv82
