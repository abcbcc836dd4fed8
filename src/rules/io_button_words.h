#pragma once

#include <string>

namespace qv82 {

// The words for the picture of an I/O row's level or direction button, as
// its tool tip shows them: "Active level: High" for "B1I", "Input level:
// Low, edge code 2" for "B0Z", "Direction: up" for "BUP"; "" for no picture.
std::string io_button_words(const std::string& image);

}  // namespace qv82
