#include "files/ini_file.h"

#include <chrono>
#include <mutex>
#include <unordered_map>

#include "files/conversion.h"
#include "files/read_file.h"
#include "files/replace_file.h"
#include "files/text.h"

namespace qv82 {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBlanks = " \t\r\f\v";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kNoValue = std::string::npos;

enum class LineKind { kOther, kBlank, kComment, kSection, kEntry };

// One line of the file, kept verbatim so that a write changes nothing else.
struct Line {
  std::string text;    // without its line ending
  std::string ending;  // "\r\n", "\n", or "" for a last line without one
  LineKind kind = LineKind::kOther;
  std::string name;  // section or key name, trimmed
  std::string value;
  std::size_t value_pos = kNoValue;  // where the value starts in text; kNoValue without '='
};

std::string_view trim_line(std::string_view text) { return trim(text, kBlanks); }

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = fold(c);
  return out;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

void classify(Line& line, bool first_line) {
  std::string_view body = line.text;
  std::size_t offset = 0;
  if (first_line && body.substr(0, kUtf8Bom.size()) == kUtf8Bom) offset = kUtf8Bom.size();
  body.remove_prefix(offset);

  const std::string_view trimmed = trim_line(body);
  if (trimmed.empty()) {
    line.kind = LineKind::kBlank;
  } else if (trimmed.front() == ';') {
    line.kind = LineKind::kComment;
  } else if (trimmed.front() == '[') {
    const std::size_t close = trimmed.find(']');
    if (close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      line.name = trim_line(trimmed.substr(1, close - 1));
    }
  } else {
    const std::size_t equals = body.find('=');
    line.kind = LineKind::kEntry;
    if (equals == std::string_view::npos) {
      line.name = trimmed;
      return;
    }
    line.name = trim_line(body.substr(0, equals));
    if (line.name.empty()) {
      line.kind = LineKind::kOther;
      return;
    }
    std::size_t start = equals + 1;
    while (start < body.size() && (body[start] == ' ' || body[start] == '\t')) ++start;
    line.value = trim_line(body.substr(start));
    line.value_pos = offset + start;
  }
}

class Document {
 public:
  explicit Document(const std::string& content) {
    std::size_t pos = 0;
    while (pos < content.size()) {
      const std::size_t lf = content.find('\n', pos);
      Line line;
      if (lf == std::string::npos) {
        line.text = content.substr(pos);
        pos = content.size();
      } else {
        const bool crlf = lf > pos && content[lf - 1] == '\r';
        line.text = content.substr(pos, lf - pos - (crlf ? 1 : 0));
        line.ending = crlf ? "\r\n" : "\n";
        pos = lf + 1;
        if (newline_.empty()) newline_ = line.ending;
      }
      classify(line, lines_.empty());
      lines_.push_back(std::move(line));
    }
    if (newline_.empty()) newline_ = "\n";
    build_index();
  }

  std::string text() const {
    std::string out;
    for (const Line& line : lines_) out += line.text + line.ending;
    return out;
  }

  std::vector<std::string> section_names() const {
    std::vector<std::string> names;
    for (std::size_t header : section_headers_) names.push_back(lines_[header].name);
    return names;
  }

  // Index of the first header of the section, or lines_.size() when absent.
  std::size_t find_section(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].kind == LineKind::kSection && same_name(lines_[i].name, section)) return i;
    }
    return lines_.size();
  }

  bool has_section(std::string_view section) const { return indexed(section) != nullptr; }

  // The section's entries in file order, each key once (its first line).
  const std::vector<std::size_t>& entries(std::string_view section) const {
    static const std::vector<std::size_t> kNone;
    const SectionIndex* index = indexed(section);
    return index ? index->entries : kNone;
  }

  // The line of the key's first entry in the section, or nothing.
  const Line* entry(std::string_view section, std::string_view key) const {
    const SectionIndex* index = indexed(section);
    if (!index) return nullptr;
    const auto found = index->keys.find(folded(key));
    return found == index->keys.end() ? nullptr : &lines_[found->second];
  }

  const Line& line(std::size_t index) const { return lines_[index]; }

  // Changes the lines; the document is to be read again from text() after.
  void set(std::string_view section, std::string_view key, std::string_view value) {
    for (std::size_t i : entries(section)) {
      if (!same_name(lines_[i].name, key)) continue;
      Line& line = lines_[i];
      if (line.value_pos == kNoValue) {
        line.text = std::string(trim_line(line.text)) + "=" + std::string(value);
      } else {
        line.text = line.text.substr(0, line.value_pos) + std::string(value);
      }
      line.value = value;
      return;
    }
    const std::string entry = std::string(key) + "=" + std::string(value);
    const std::size_t header = find_section(section);
    if (header == lines_.size()) {
      if (!lines_.empty() && lines_.back().kind != LineKind::kBlank) insert(lines_.size(), "");
      insert(lines_.size(), "[" + std::string(section) + "]");
      insert(lines_.size(), entry);
      return;
    }
    // After the section's last key, so that comments and blank lines that
    // lead into the next section stay with it.
    std::size_t at = header + 1;
    const std::size_t end = section_end(section);
    for (std::size_t i = header + 1; i < end; ++i) {
      if (lines_[i].kind != LineKind::kBlank && lines_[i].kind != LineKind::kComment) at = i + 1;
    }
    insert(at, entry);
  }

 private:
  // Lookups by name without a pass over the lines: a settings file may hold
  // tens of thousands of entries.
  struct SectionIndex {
    std::vector<std::size_t> entries;
    std::unordered_map<std::string, std::size_t> keys;  // folded name -> line
  };

  void build_index() {
    SectionIndex* current = nullptr;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const Line& line = lines_[i];
      if (line.kind == LineKind::kSection) {
        const auto [it, fresh] = sections_.try_emplace(folded(line.name));
        // Only the first section of a name counts.
        current = fresh ? &it->second : nullptr;
        if (fresh) section_headers_.push_back(i);
      } else if (line.kind == LineKind::kEntry && current) {
        if (current->keys.try_emplace(folded(line.name), i).second) current->entries.push_back(i);
      }
    }
  }

  const SectionIndex* indexed(std::string_view section) const {
    const auto found = sections_.find(folded(section));
    return found == sections_.end() ? nullptr : &found->second;
  }

  std::size_t section_end(std::string_view section) const {
    std::size_t i = find_section(section);
    if (i == lines_.size()) return i;
    for (++i; i < lines_.size(); ++i) {
      if (lines_[i].kind == LineKind::kSection) break;
    }
    return i;
  }

  void insert(std::size_t at, std::string text) {
    if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = newline_;
    Line line;
    line.text = std::move(text);
    line.ending = newline_;
    classify(line, at == 0);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  }

  std::vector<Line> lines_;
  std::string newline_;
  std::unordered_map<std::string, SectionIndex> sections_;  // folded name -> index
  std::vector<std::size_t> section_headers_;                // first header of each, in order
};

enum class LoadResult { kRead, kMissing, kFailed };

LoadResult load(const std::string& path, std::string& content, std::string& error) {
  FileContent file = read_whole_file(path, kSettingsFileLimit);
  if (file.failure == ReadFailure::kMissing) return LoadResult::kMissing;
  if (!file.ok()) {
    error = "Cannot read file " + path + ": " + file.reason;
    return LoadResult::kFailed;
  }
  content = std::move(file.content);
  return LoadResult::kRead;
}

bool has_line_break(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

// The text a document was parsed from, kept to tell whether the file changed.
struct IniFile::Parsed {
  explicit Parsed(std::string text) : content(std::move(text)), document(content) {}
  std::string content;
  Document document;
};

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

namespace {

// The last parse of each file, shared by every IniFile of that path: the
// pages each open the settings file for themselves.
struct SharedParse {
  std::mutex mutex;
  std::unordered_map<std::string, std::shared_ptr<const void>> by_path;
};

SharedParse& shared_parses() {
  static SharedParse shared;
  return shared;
}

}  // namespace

std::shared_ptr<const IniFile::Parsed> IniFile::parsed() const {
  if (!cache_) {
    SharedParse& shared = shared_parses();
    const std::lock_guard<std::mutex> lock(shared.mutex);
    const auto found = shared.by_path.find(path_);
    if (found != shared.by_path.end()) {
      cache_ = std::static_pointer_cast<const Parsed>(found->second);
    }
  }
  // File times are coarse (a clock tick, seconds on some file systems): a
  // file written within this span may change again without a new time.
  constexpr auto kSettling = std::chrono::seconds(3);
  std::error_code ec;
  Stamp now;
  now.written = fs::last_write_time(path_, ec);
  if (!ec) now.size = fs::file_size(path_, ec);
  if (cache_ && !ec && stamp_.settled && stamp_.size == now.size && stamp_.written == now.written) {
    return cache_;
  }
  now.settled = !ec && fs::file_time_type::clock::now() - now.written > kSettling;

  // Missing or unreadable files read as empty.
  std::string content;
  std::string ignored;
  load(path_, content, ignored);
  if (!cache_ || cache_->content != content) {
    cache_ = std::make_shared<const Parsed>(std::move(content));
    SharedParse& shared = shared_parses();
    const std::lock_guard<std::mutex> lock(shared.mutex);
    shared.by_path[path_] = cache_;
  }
  stamp_ = now;
  return cache_;
}

std::vector<std::string> IniFile::section_names() const {
  return parsed()->document.section_names();
}

bool IniFile::section_exists(std::string_view section) const {
  return parsed()->document.has_section(trim_line(section));
}

std::vector<std::string> IniFile::section_keys(std::string_view section) const {
  const auto file = parsed();
  std::vector<std::string> keys;
  for (std::size_t i : file->document.entries(trim_line(section))) {
    keys.push_back(file->document.line(i).name);
  }
  return keys;
}

std::vector<std::pair<std::string, std::string>> IniFile::section_entries(
    std::string_view section) const {
  const auto file = parsed();
  std::vector<std::pair<std::string, std::string>> result;
  for (std::size_t i : file->document.entries(trim_line(section))) {
    result.emplace_back(file->document.line(i).name, file->document.line(i).value);
  }
  return result;
}

std::string IniFile::read_string(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
  const Line* line = parsed()->document.entry(trim_line(section), trim_line(key));
  return line ? line->value : std::string(fallback);
}

bool IniFile::valid_section_name(std::string_view name) {
  const std::string_view trimmed_name = trim_line(name);
  return !trimmed_name.empty() && trimmed_name.find(']') == std::string_view::npos &&
         !has_line_break(trimmed_name);
}

bool IniFile::valid_key_name(std::string_view name) {
  const std::string_view trimmed_name = trim_line(name);
  return !trimmed_name.empty() && trimmed_name.find('=') == std::string_view::npos &&
         trimmed_name.front() != '[' && trimmed_name.front() != ';' &&
         !has_line_break(trimmed_name);
}

bool IniFile::write_string(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view section_name = trim_line(section);
  const std::string_view key_name = trim_line(key);
  // Anything that would read back as a different line structure is refused.
  if (!valid_section_name(section) || !valid_key_name(key) || has_line_break(value)) {
    last_error_ = "Cannot write [" + std::string(section) + "] " + std::string(key) + " to " +
                  path_ + ": the name or value is not valid in a settings file";
    return false;
  }

  std::string content;
  std::string error;
  if (load(path_, content, error) == LoadResult::kFailed) {
    // Writing now would drop every key that could not be read.
    last_error_ = error;
    return false;
  }
  Document document(content);
  document.set(section_name, key_name, trim_line(value));
  const std::string updated = document.text();
  if (updated == content) {
    last_error_.clear();
    return true;
  }
  if (const auto failure = replace_file(path_, updated)) {
    last_error_ = "Cannot write file " + path_ + ": " + *failure;
    return false;
  }
  cache_ = std::make_shared<const Parsed>(updated);
  stamp_ = Stamp{};
  last_error_.clear();
  return true;
}

unsigned long read_hex_setting(const IniFile& file, std::string_view section, std::string_view key,
                               std::string_view fallback) {
  const std::string text = file.read_string(section, key, fallback);
  try {
    return parse_hex_number(text);
  } catch (const ConversionError& e) {
    throw ConversionError("[" + std::string(section) + "] " + std::string(key) + " in " +
                          file.path() + ": " + e.what());
  }
}

}  // namespace qv82
