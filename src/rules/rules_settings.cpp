#include "rules/rules_settings.h"

#include "files/ini_file.h"
#include "link/errors.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

std::vector<NamedValue> entries_of(const IniFile& file, std::string_view section) {
  std::vector<NamedValue> out;
  for (auto& [key, value] : file.section_entries(section)) out.push_back({key, value});
  return out;
}

}  // namespace

RulesSettings RulesSettings::load(const std::string& ini_path) {
  const IniFile file(ini_path);
  RulesSettings settings;
  settings.configurations = file.section_keys("Configurations");
  settings.separators = entries_of(file, "Separators");
  for (const std::string& name : file.section_keys("Displays")) {
    settings.displays.push_back({name, entries_of(file, name)});
  }
  settings.dip_modes = entries_of(file, "Dip switch modes");
  settings.warnings = entries_of(file, "Warnings");
  const unsigned long value = read_hex_setting(file, "SETTINGS", "Stop time min", "05");
  // The stop time is one byte; a larger lower limit could never be met.
  if (value > 255) {
    throw ConversionError("[SETTINGS] Stop time min in " + ini_path + ": " +
                          quoted_value(file.read_string("SETTINGS", "Stop time min", "")) +
                          " is not a valid Stop time min");
  }
  settings.stop_time_min = static_cast<int>(value);
  return settings;
}

std::string value_of(const std::vector<NamedValue>& entries, std::string_view name,
                     std::string_view fallback) {
  for (const NamedValue& entry : entries) {
    if (same_text_ignoring_case(entry.name, name)) {
      return entry.value.empty() ? std::string(fallback) : entry.value;
    }
  }
  return std::string(fallback);
}

std::vector<std::string> names_of(const std::vector<NamedValue>& entries) {
  std::vector<std::string> out;
  for (const NamedValue& entry : entries) out.push_back(entry.name);
  return out;
}

std::vector<NamedValue> show_entries(const RulesSettings::Display& display) {
  std::vector<NamedValue> out = display.entries;
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace qv82
