#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv82 {

// A list entry of the settings file: the key is what the list shows, the
// value what a choice means.
struct NamedValue {
  std::string name;
  std::string value;  // "" when the key has no value
};

// The lists of the configuration page that the settings file qv82hs.ini
// fills once at start-up, and the few SETTINGS values the rules use.
struct RulesSettings {
  std::vector<std::string> configurations;  // "Configurations"
  std::vector<NamedValue> separators;       // "Separators": paths
  struct Display {
    std::string name;
    std::vector<NamedValue> entries;  // the type's section in file order
  };
  std::vector<Display> displays;      // "Displays", entry 0 = no display
  std::vector<NamedValue> dip_modes;  // "Dip switch modes"
  std::vector<NamedValue> warnings;   // "Warnings"
  int stop_time_min = 5;              // SETTINGS "Stop time min"

  // Reads the lists. Throws ConversionError when "Stop time min" is not a
  // hexadecimal number.
  static RulesSettings load(const std::string& ini_path);
};

// The value of an entry of `entries` named `name` (case ignored), or
// `fallback` when missing or empty.
std::string value_of(const std::vector<NamedValue>& entries, std::string_view name,
                     std::string_view fallback);

// The names of a list, in order.
std::vector<std::string> names_of(const std::vector<NamedValue>& entries);

// The "Show:" entries of a display type: every key of its section but the
// last (which is "dsp_opt").
std::vector<NamedValue> show_entries(const RulesSettings::Display& display);

}  // namespace qv82
