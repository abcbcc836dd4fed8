#pragma once

// An independent check that a saved configuration is well-formed XML (the
// subset configuration files use: declaration, comments, elements with
// quoted attributes, text with the predefined entities). It shares nothing
// with the program's own tolerant reader.

#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace qv82::test {

// Nothing when the text is well-formed, otherwise what is wrong and where.
inline std::optional<std::string> xml_problem(const std::string& text) {
  std::size_t i = 0;
  std::vector<std::string> open;
  bool root_seen = false;
  const auto fail = [&](const std::string& why) {
    return std::optional<std::string>(why + " at offset " + std::to_string(i));
  };
  const auto name_char = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' ||
           c == ':';
  };
  const auto skip_blanks = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  };
  const auto read_name = [&] {
    const std::size_t start = i;
    while (i < text.size() && name_char(text[i])) ++i;
    return text.substr(start, i - start);
  };
  const auto entity_ok = [&](std::size_t at) {
    const std::size_t end = text.find(';', at);
    if (end == std::string::npos) return false;
    const std::string name = text.substr(at + 1, end - at - 1);
    if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos") {
      return true;
    }
    return name.size() > 1 && name[0] == '#' &&
           name.find_first_not_of("0123456789", 1) == std::string::npos;
  };

  if (text.compare(0, 5, "<?xml") == 0) {
    const std::size_t end = text.find("?>");
    if (end == std::string::npos) return fail("unterminated declaration");
    i = end + 2;
  }
  while (i < text.size()) {
    if (text[i] != '<') {
      if (text[i] == '&' && !entity_ok(i)) return fail("bare &");
      if (open.empty() && !std::isspace(static_cast<unsigned char>(text[i]))) {
        return fail("text outside the root element");
      }
      ++i;
      continue;
    }
    if (text.compare(i, 4, "<!--") == 0) {
      const std::size_t end = text.find("--", i + 4);
      if (end == std::string::npos || text.compare(end, 3, "-->") != 0) {
        return fail("bad comment");
      }
      i = end + 3;
      continue;
    }
    if (text.compare(i, 2, "</") == 0) {
      i += 2;
      const std::string name = read_name();
      skip_blanks();
      if (i >= text.size() || text[i] != '>') return fail("bad end tag");
      if (open.empty() || open.back() != name) return fail("end tag </" + name + "> unmatched");
      open.pop_back();
      ++i;
      continue;
    }
    ++i;
    const std::string name = read_name();
    if (name.empty()) return fail("bad start tag");
    if (open.empty() && root_seen) return fail("second root element");
    for (;;) {
      const std::size_t before = i;
      skip_blanks();
      if (i >= text.size()) return fail("unterminated tag");
      if (text[i] == '>' || text.compare(i, 2, "/>") == 0) break;
      if (i == before) return fail("attributes not separated");
      if (read_name().empty() || i >= text.size() || text[i] != '=') return fail("bad attribute");
      ++i;
      if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) return fail("unquoted value");
      const char quote = text[i++];
      const std::size_t end = text.find(quote, i);
      if (end == std::string::npos) return fail("unterminated value");
      const std::string value = text.substr(i, end - i);
      if (value.find('<') != std::string::npos) return fail("< in a value");
      i = end + 1;
    }
    root_seen = true;
    if (text[i] == '>') {
      open.push_back(name);
      ++i;
    } else {
      i += 2;
    }
  }
  if (!open.empty()) return fail("<" + open.back() + "> not closed");
  if (!root_seen) return fail("no root element");
  return std::nullopt;
}

}  // namespace qv82::test
