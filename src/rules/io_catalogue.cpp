#include "rules/io_catalogue.h"

#include <algorithm>
#include <cctype>

#include "files/full_path.h"
#include "files/ini_file.h"
#include "files/read_file.h"
#include "lang/language.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr std::size_t kTemplateDigits = 16;
constexpr std::size_t kTemplateLength = 20;
// Enough of a bad value to recognise it by in a message.
constexpr std::size_t kShownValueLength = 40;

// Control characters other than line ends and tabs do not occur in a text
// an editor wrote; a few of them mean the file is something else.
bool looks_binary(const std::string& content) {
  return std::any_of(content.begin(), content.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F;
  });
}

// 16 hex digits, then the four flags "Y" or "N".
bool is_function_template(const std::string& value) {
  if (value.size() != kTemplateLength) return false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    const bool fits = i < kTemplateDigits ? std::isxdigit(c) != 0
                                          : (std::toupper(c) == 'Y' || std::toupper(c) == 'N');
    if (!fits) return false;
  }
  return true;
}

}  // namespace

void IoCatalogue::load(const std::string& path) {
  outputs_.clear();
  inputs_.clear();
  sections_.clear();
  problem_.clear();
  const std::string named = full_path(path);
  const FileContent content = read_whole_file(path, kSettingsFileLimit);
  if (!content.ok()) {
    problem_ = content.failure == ReadFailure::kMissing ? named + language_text(msg::kIsMissing)
                                                        : named + ": " + content.reason;
    return;
  }
  if (looks_binary(content.content)) {
    problem_ = named + language_text(msg::kIsNotATextFile);
    return;
  }
  const IniFile file(path);
  for (const std::string_view list : {kOutputsSection, kInputsSection}) {
    for (const auto& [name, value] : file.section_entries(list)) {
      if (is_function_template(value)) continue;
      const std::string shown =
          value.size() > kShownValueLength ? value.substr(0, kShownValueLength) + "..." : value;
      problem_ = named + " [" + std::string(list) + "] " + name + "=" + shown +
                 language_text(msg::kIsNotAFunctionTemplate);
      return;
    }
  }
  outputs_ = file.section_keys(kOutputsSection);
  inputs_ = file.section_keys(kInputsSection);
  sections_.clear();
  // The file is read once here rather than once per lookup: the rules ask
  // for hundreds of keys on every refresh of the page.
  for (const std::string& name : file.section_names()) {
    Section& section = sections_[upper_case(name)];
    for (const auto& [key, value] : file.section_entries(name)) {
      section.emplace(upper_case(key), value);
    }
  }
  if (outputs_.empty() && inputs_.empty()) {
    sections_.clear();
    problem_ = named + language_text(msg::kIsEmpty);
  }
}

const IoCatalogue::Section* IoCatalogue::section(std::string_view name) const {
  const auto it = sections_.find(upper_case(name));
  return it == sections_.end() ? nullptr : &it->second;
}

std::string IoCatalogue::function_template(std::string_view section_name, std::string_view name,
                                           std::string_view fallback) const {
  const Section* s = section(section_name);
  if (s == nullptr) return std::string(fallback);
  const auto it = s->find(upper_case(name));
  return it == s->end() ? std::string(fallback) : upper_case(it->second);
}

std::string IoCatalogue::rule(std::string_view function, std::string_view key,
                              std::string_view fallback) const {
  const Section* s = section(function);
  if (s == nullptr) return std::string(fallback);
  const auto it = s->find(upper_case(key));
  return it == s->end() || it->second.empty() ? std::string(fallback) : it->second;
}

}  // namespace qv82
