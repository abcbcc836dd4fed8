#pragma once

#include <string>

namespace qv82::sim {

// A decimal number typed by the user (option or command) within bounds;
// throws ConversionError "<what> must be between <low> and <high>".
long number_between(const std::string& text, long low, long high, const std::string& what);

}  // namespace qv82::sim
