#include "config/whole_document.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "lang/language.h"

namespace qv82 {

namespace {

struct OpenElement {
  std::string_view name;
  std::size_t line;
};

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

std::string quoted_start(std::string_view name) { return "<" + std::string(name) + ">"; }

// Walks the text once, keeping the line count and the open elements.
class DocumentScan {
 public:
  explicit DocumentScan(std::string_view text) : text_(text) {}

  std::optional<DocumentFault> run() {
    // A byte order mark, as editors on some systems put first.
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '<') {
        if (auto fault = markup()) return fault;
        continue;
      }
      if (c == '\n') ++line_;
      if (!is_blank(c) && open_.empty()) {
        return fault(language_text(root_closed_ ? msg::kTextAfterRoot : msg::kTextBeforeRoot));
      }
      ++at_;
    }
    if (!open_.empty()) {
      const OpenElement& inner = open_.back();
      return fault(language_text(msg::kFileEndsBeforeItCloses) + quoted_start(inner.name) +
                   language_text(msg::kOfLine) + std::to_string(inner.line));
    }
    if (!root_closed_) return fault(language_text(msg::kNoRootElement));
    return std::nullopt;
  }

 private:
  std::optional<DocumentFault> fault(std::string reason) const {
    return DocumentFault{line_, std::move(reason)};
  }

  // Moves past `end`, counting the lines it spans; false when the text ends
  // first (the position then stays at the start of the markup).
  bool skip_to(std::string_view end) {
    const std::size_t found = text_.find(end, at_);
    if (found == std::string_view::npos) return false;
    const std::size_t next = found + end.size();
    line_ += static_cast<std::size_t>(std::count(text_.begin() + static_cast<std::ptrdiff_t>(at_),
                                                 text_.begin() + static_cast<std::ptrdiff_t>(next),
                                                 '\n'));
    at_ = next;
    return true;
  }

  std::optional<DocumentFault> markup() {
    const std::string_view rest = text_.substr(at_);
    if (rest.starts_with("<!--")) {
      if (!skip_to("-->")) return fault(language_text(msg::kCommentNeverClosed));
      return std::nullopt;
    }
    if (rest.starts_with("<![CDATA[")) {
      if (open_.empty()) {
        return fault(language_text(root_closed_ ? msg::kTextAfterRoot : msg::kTextBeforeRoot));
      }
      if (!skip_to("]]>")) return fault(language_text(msg::kTagNeverClosed));
      return std::nullopt;
    }
    if (rest.starts_with("<?")) {
      if (!skip_to("?>")) return fault(language_text(msg::kTagNeverClosed));
      return std::nullopt;
    }
    return tag();
  }

  // A start, end or empty-element tag, or a declaration such as DOCTYPE:
  // it runs to the first ">", as the reader takes it, and holds no other
  // "<" and an even number of double quotes.
  std::optional<DocumentFault> tag() {
    const std::size_t start_line = line_;
    const std::size_t begin = at_;
    std::size_t end = begin + 1;
    std::size_t quotes = 0;
    while (end < text_.size() && text_[end] != '>') {
      if (text_[end] == '<') return fault(language_text(msg::kTagNeverClosed));
      if (text_[end] == '"') ++quotes;
      if (text_[end] == '\n') ++line_;
      ++end;
    }
    if (end >= text_.size() || quotes % 2 != 0) {
      line_ = start_line;
      return fault(language_text(quotes % 2 != 0 ? msg::kQuoteNeverClosed : msg::kTagNeverClosed));
    }
    at_ = end + 1;
    const std::string_view body = text_.substr(begin + 1, end - begin - 1);
    if (body.starts_with("!")) {
      if (open_.empty() && root_closed_) return outside_root(start_line);
      return std::nullopt;
    }
    const bool closing = body.starts_with("/");
    const bool empty = !closing && body.ends_with("/");
    const std::string_view named = closing ? body.substr(1) : body;
    std::size_t name_end = 0;
    while (name_end < named.size() && !is_blank(named[name_end]) && named[name_end] != '/') {
      ++name_end;
    }
    const std::string_view name = named.substr(0, name_end);

    if (closing) {
      if (open_.empty()) {
        const std::string end_tag = "</" + std::string(name) + ">";
        return DocumentFault{start_line, end_tag + language_text(msg::kHasNoOpeningTag)};
      }
      const OpenElement& inner = open_.back();
      if (!same_name(inner.name, name)) {
        return DocumentFault{start_line,
                             "</" + std::string(name) + ">" + language_text(msg::kDoesNotClose) +
                                 quoted_start(inner.name) + language_text(msg::kOfLine) +
                                 std::to_string(inner.line)};
      }
      open_.pop_back();
      if (open_.empty()) root_closed_ = true;
      return std::nullopt;
    }
    if (open_.empty() && root_closed_) return outside_root(start_line);
    if (empty) {
      if (open_.empty()) root_closed_ = true;
      return std::nullopt;
    }
    open_.push_back({name, start_line});
    return std::nullopt;
  }

  std::optional<DocumentFault> outside_root(std::size_t line) const {
    return DocumentFault{line,
                         language_text(root_closed_ ? msg::kTextAfterRoot : msg::kTextBeforeRoot)};
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::vector<OpenElement> open_;
  bool root_closed_ = false;
};

}  // namespace

std::optional<DocumentFault> document_fault(std::string_view text) {
  return DocumentScan(text).run();
}

}  // namespace qv82
