#pragma once

// An independent check that a saved configuration is well-formed XML (the
// subset configuration files use: declaration, comments, elements with
// quoted attributes, text with the predefined entities). It shares nothing
// with the program's own tolerant reader.

#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace qv82::test {

// Nothing when the text is well-formed, otherwise what is wrong and where.
inline std::optional<std::string> xml_problem(const std::string& text) {
  static const std::regex markup(R"(<\?xml[^]*?\?>|<!--[^]*?-->|<(?:[^<>"']|"[^"]*"|'[^']*')*>?)");
  static const std::regex start(R"(<([\w.:-]+)(\s+[\w.:-]+\s*=\s*("[^"<]*"|'[^'<]*'))*\s*(/?)>)");
  static const std::regex end(R"(</([\w.:-]+)\s*>)");
  static const std::regex bad_text(R"(&(?!(amp|lt|gt|quot|apos|#[0-9]+);)|<)");
  std::vector<std::string> open;
  bool root_seen = false;
  std::size_t at = 0;
  const auto fail = [&](const std::string& why) {
    return std::optional<std::string>(why + " at offset " + std::to_string(at));
  };
  const auto text_ok = [&](const std::string& between) {
    if (std::regex_search(between, bad_text)) return false;
    return !open.empty() || between.find_first_not_of(" \t\r\n") == std::string::npos;
  };
  for (std::sregex_iterator it(text.begin(), text.end(), markup), none; it != none; ++it) {
    if (!text_ok(text.substr(at, it->position() - at))) return fail("bad text");
    at = it->position();
    const std::string tag = it->str();
    std::smatch m;
    if (tag.rfind("<?xml", 0) == 0) {
      if (at != 0) return fail("declaration not first");
    } else if (tag.rfind("<!--", 0) == 0) {
      if (tag.find("--", 4) != tag.size() - 3) return fail("bad comment");
    } else if (std::regex_match(tag, m, end)) {
      if (open.empty() || open.back() != m[1]) return fail("end tag " + tag + " unmatched");
      open.pop_back();
    } else if (std::regex_match(tag, m, start)) {
      if (open.empty() && root_seen) return fail("second root element");
      root_seen = true;
      if (m[4].length() == 0) open.push_back(m[1]);
    } else {
      return fail("bad tag " + tag);
    }
    at += tag.size();
  }
  if (!text_ok(text.substr(at))) return fail("bad text");
  if (!open.empty()) return fail("<" + open.back() + "> not closed");
  if (!root_seen) return fail("no root element");
  return std::nullopt;
}

}  // namespace qv82::test
