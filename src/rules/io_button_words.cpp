#include "rules/io_button_words.h"

#include <string_view>

#include "lang/language.h"

namespace qv82 {

namespace {

struct InputPicture {
  std::string_view image;
  bool high;
  char edge;  // the edge code of the record's mode, '0' for none
};

// The input pictures of the I/O rows and what each stands for.
constexpr InputPicture kInputPictures[] = {
    {"B1", true, '0'},   {"B1P", true, '1'},  {"B1Z", true, '2'},  {"B03", true, '3'},
    {"B04", true, '4'},  {"B0", false, '0'},  {"B0P", false, '1'}, {"B0Z", false, '2'},
    {"B83", false, '3'}, {"B84", false, '4'},
};

std::string level_word(bool high) { return language_text(high ? msg::kHigh : msg::kLow); }

}  // namespace

std::string io_button_words(const std::string& image) {
  if (image == "B1I" || image == "B0I") {
    return language_text(msg::kActiveLevel) + level_word(image == "B1I");
  }
  if (image == "BUP" || image == "BDN") {
    return language_text(msg::kDirection) + language_text(image == "BUP" ? msg::kUp : msg::kDown);
  }
  for (const InputPicture& picture : kInputPictures) {
    if (picture.image != image) continue;
    std::string words = language_text(msg::kInputLevel) + level_word(picture.high);
    if (picture.edge != '0') words += language_text(msg::kEdgeCode) + picture.edge;
    return words;
  }
  return {};
}

}  // namespace qv82
