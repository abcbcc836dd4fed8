#include "rules/io_catalogue.h"

#include "files/ini_file.h"
#include "rules/record_text.h"

namespace qv82 {

void IoCatalogue::load(const std::string& path) {
  const IniFile file(path);
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
