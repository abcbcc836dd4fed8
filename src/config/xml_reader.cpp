#include "config/xml_reader.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <sstream>
#include <utility>

#include "files/read_file.h"
#include "files/text.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool is_blank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string trimmed(std::string_view text) { return std::string(trim(text, is_blank)); }

// Replaces every occurrence in one left-to-right pass; replaced text is not
// searched again.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
       pos = hit + from.size()) {
    out.append(text.substr(pos, hit - pos));
    out.append(to);
  }
  out.append(text.substr(pos));
  return out;
}

[[noreturn]] void parser_error(const char* what, long line) {
  // The reader's message pattern is "%s on line %d".
  throw XmlError(std::string(what) + " on line " + std::to_string(line));
}

// Hands out the input character by character from a buffer that always
// holds whole lines. A full buffer without a line feed means a line longer
// than the buffer.
class LineSource {
 public:
  LineSource(std::istream& input, std::size_t capacity) : input_(input), capacity_(capacity) {}

  int peek() {
    if (pos_ == valid_ && !refill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
  }
  int get() {
    const int c = peek();
    if (c >= 0) ++pos_;
    return c;
  }

 private:
  bool refill() {
    buffer_.erase(0, valid_);  // keep the unfinished line
    pos_ = valid_ = 0;
    if (!at_end_) {
      const std::size_t have = buffer_.size();
      buffer_.resize(capacity_);
      input_.read(buffer_.data() + have, static_cast<std::streamsize>(capacity_ - have));
      const auto got = static_cast<std::size_t>(input_.gcount());
      if (input_.bad()) throw XmlError("Error reading the file");
      buffer_.resize(have + got);
      if (have + got < capacity_) at_end_ = true;
    }
    if (buffer_.empty()) return false;
    if (buffer_.size() >= capacity_) {
      const std::size_t lf = buffer_.rfind('\n');
      if (lf == std::string::npos) parser_error("Line too long", line_);
      valid_ = lf + 1;
    } else {
      valid_ = buffer_.size();
    }
    line_ += static_cast<long>(std::count(buffer_.begin(), buffer_.begin() + valid_, '\n'));
    return true;
  }

  std::istream& input_;
  std::size_t capacity_;
  std::string buffer_;
  std::size_t pos_ = 0;
  std::size_t valid_ = 0;  // end of the whole lines in buffer_
  bool at_end_ = false;
  long line_ = 1;  // line at the start of buffer_
};

std::string element_name(const std::string& tag) {
  const auto blank = std::find_if(tag.begin() + 1, tag.end(), is_blank);
  if (blank != tag.end()) return std::string(tag.begin() + 1, blank);
  const std::size_t slash = tag.find('/', 1);
  if (slash != std::string::npos) return tag.substr(1, slash - 1);
  return tag.substr(1, tag.size() - 2);
}

// The entries between the first blank and the closing ">" or "/>".
std::vector<std::string> element_attributes(const std::string& tag, bool empty_element) {
  const auto blank = std::find_if(tag.begin() + 1, tag.end(), is_blank);
  if (blank == tag.end()) return {};
  const std::size_t begin = static_cast<std::size_t>(blank - tag.begin()) + 1;
  const std::size_t end = tag.size() - (empty_element ? 2 : 1);
  if (end <= begin) return {};
  return xml::split_attributes(std::string_view(tag).substr(begin, end - begin));
}

class Reader {
 public:
  Reader(LineSource& source, XmlItem& root) : source_(source), current_(&root) {}

  void run() {
    for (;;) {
      int c;
      while ((c = source_.peek()) >= 0 && is_blank(static_cast<char>(c))) source_.get();
      if (c < 0) return;
      if (c == '<') {
        std::string token;
        if (!read_until_gt(token)) return;  // a tag cut off by the end is dropped
        tag(std::move(token));
      } else {
        std::string token;
        while ((c = source_.peek()) >= 0 && c != '<')
          token.push_back(static_cast<char>(source_.get()));
        text(trimmed(token));
      }
    }
  }

  std::string style_sheet;

 private:
  // Appends up to and including the next ">"; false at the end of input.
  bool read_until_gt(std::string& token) {
    for (int c; (c = source_.get()) >= 0;) {
      token.push_back(static_cast<char>(c));
      if (c == '>') return true;
    }
    return false;
  }

  void tag(std::string token) {
    static constexpr std::string_view kCDataStart = "<![CDATA[";
    static constexpr std::string_view kCDataEnd = "]]>";
    if (starts_with_ignoring_case(token, "<?xml")) {
      declaration(xml::clean(std::move(token)));
    } else if (starts_with_ignoring_case(token, "<!--")) {
      // A comment ends at its first ">".
    } else if (starts_with_ignoring_case(token, kCDataStart)) {
      bool closed = std::string_view(token).ends_with(kCDataEnd);
      while (!closed && read_until_gt(token)) closed = std::string_view(token).ends_with(kCDataEnd);
      const std::size_t end = closed ? token.size() - kCDataEnd.size() : token.size();
      current_->CData = token.substr(kCDataStart.size(), end - kCDataStart.size());
    } else {
      element(xml::clean(std::move(token)));
    }
  }

  void declaration(const std::string& token) {
    const std::string upper = upper_case(token);
    if (upper.find("XML-STYLESHEET") == std::string::npos) return;
    const std::size_t href = upper.find("HREF=\"");
    if (href == std::string::npos) return;
    const std::size_t begin = href + 6;
    const std::size_t end = token.find('"', begin);
    style_sheet = token.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
  }

  void element(const std::string& token) {
    if (token.ends_with("/>")) {
      if (same_text_ignoring_case(token, "<br/>")) return;
      XmlItem& child = current_->add_child();
      child.Name = element_name(token);
      child.Params = element_attributes(token, true);
    } else if (token.starts_with("</")) {
      // An end tag at the root has nowhere to go: the root stays current.
      if (current_->parent() != nullptr) current_ = current_->parent();
    } else if (current_->Name.empty()) {
      current_->Name = element_name(token);
      current_->Params = element_attributes(token, false);
    } else {
      XmlItem& child = current_->add_child();
      child.Name = element_name(token);
      child.Params = element_attributes(token, false);
      current_ = &child;
    }
  }

  void text(const std::string& token) {
    std::string piece = xml::decode_entities(xml::clean(token));
    if (trimmed(current_->Text).empty()) {
      current_->Text = std::move(piece);
    } else {
      std::string joined = std::move(current_->Text);
      joined.append(kCrLf).append(piece);
      current_->Text = xml::decode_entities(std::move(joined));
    }
  }

  LineSource& source_;
  XmlItem* current_;
};

}  // namespace

namespace xml {

std::string clean(std::string text) {
  text = replace_all(replace_all(text, "\r\n", ""), "\n\r", "");
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out.push_back(c);
  }
  return out;
}

std::string decode_entities(std::string text) {
  text = replace_all(text, "<br/>", kCrLf);
  text = replace_all(text, "&lt;", "<");
  text = replace_all(text, "&gt;", ">");
  text = replace_all(text, "&quot;", "\"");
  return replace_all(text, "&amp;", "&");
}

std::vector<std::string> split_attributes(std::string_view part) {
  std::vector<std::string> pieces;
  std::string piece;
  bool quoted = false;
  for (char c : part) {
    if (c == '"') quoted = !quoted;
    if (is_blank(c) && !quoted) {
      if (!piece.empty()) pieces.push_back(std::move(piece));
      piece.clear();
    } else {
      piece.push_back(c);
    }
  }
  if (!piece.empty()) pieces.push_back(std::move(piece));

  std::vector<std::string> entries;
  for (const std::string& p : pieces) {
    const std::size_t equals = p.find('=');
    const std::string name = p.substr(0, equals);
    std::string value = equals == std::string::npos ? std::string() : trimmed(p.substr(equals + 1));
    if (value.size() > 2) {
      if (value.front() == '"') value.erase(0, 1);
      if (value.back() == '"') value.pop_back();
    }
    value = decode_entities(trimmed(value));
    if (!value.empty()) entries.push_back(name + "=" + value);
  }
  return entries;
}

}  // namespace xml

void XmlReader::load_file(const std::string& path) {
  // A folder or a device would read as endless; say what it is.
  if (const std::string problem = file_problem(path); !problem.empty()) throw XmlError(problem);
  const FileContent file = read_whole_file(path, kConfigurationFileLimit);
  if (file.failure == ReadFailure::kMissing || file.failure == ReadFailure::kCannotOpen) {
    throw XmlError(language_text(msg::kCannotOpenFile) + " \"" + path + "\"");
  }
  if (!file.ok()) {
    throw XmlError(language_text(msg::kCannotReadFile) + " \"" + path + "\": " + file.reason);
  }
  try {
    load_text(file.content);
  } catch (const XmlError& e) {
    throw XmlError(path + ": " + e.what());
  }
}

void XmlReader::load_text(std::string_view text) {
  std::istringstream input{std::string(text)};
  load(input, text.size());
}

void XmlReader::load(std::istream& input, std::size_t whole_size) {
  // Parse into a separate tree so that a failed load leaves the previous
  // document (and everything that points into it) intact.
  XmlItem document;
  std::string style_sheet;
  const auto parse = [&](std::size_t capacity) {
    document.clear();
    LineSource source(input, capacity);
    Reader reader(source, document);
    reader.run();
    style_sheet = std::move(reader.style_sheet);
  };
  try {
    parse(kBufferSize - 1);
  } catch (const XmlError&) {
    // A line longer than the buffer: once more with the whole input in one buffer.
    input.clear();
    input.seekg(0, std::ios::beg);
    if (!input) throw XmlError("Cannot read the input again");
    parse(std::max<std::size_t>(whole_size, 1));
  }
  root_.take_content(document);
  style_sheet_ = std::move(style_sheet);
  if (on_loaded) on_loaded();
}

}  // namespace qv82
