#include <array>

#include "files/ini_file.h"
#include "lang/language.h"
#include "link/errors.h"
#include "rules/configuration_rules.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr std::size_t kSorterNum = 18;
constexpr const char* kSeparatorKeys[3] = {"Out4", "Out5", "Out6"};

bool holds_sorter_or_nothing(std::string_view record) {
  return upper_case(text_part(record, 0, 4)) == "FFFF" || is_sorter_record(record);
}

}  // namespace

void ConfigurationRules::recognise_separator() {
  page.separators.index = -1;
  bool any = false;
  for (int k = 4; k <= 6; ++k) {
    if (!is_sorter_record(io(k))) continue;
    any = true;
    IoRow& r = row(k);
    r.note = language_text(msg::kSorter);
    r.time_on.visible = true;
    r.channels_low_visible = true;
    std::string& record = io(k);
    if (record.size() >= 16) record = record.substr(0, 16) + "YNNY";
    page.headings.ch4 = page.headings.ch1 = page.headings.ch8 = true;
    page.headings.directions = true;
  }
  if (page.separators.items.empty()) return;
  if (!any) {
    page.separators.index = 0;
    return;
  }
  // With sorters in place, the separator that puts sorters on exactly the
  // same outputs is shown as the chosen one.
  const IniFile file(settings_path_);
  for (std::size_t i = 0; i < page.separators.items.size(); ++i) {
    bool same = true;
    for (int k = 4; k <= 6 && same; ++k) {
      const std::string value =
          file.read_string(page.separators.items[i], kSeparatorKeys[k - 4], "");
      same = is_sorter_record(upper_case(trimmed(value))) == is_sorter_record(io(k));
    }
    if (same) {
      page.separators.index = static_cast<int>(i);
      return;
    }
  }
}

void ConfigurationRules::choose_separator(int index) {
  page.separators.index = index < static_cast<int>(page.separators.items.size()) ? index : -1;
}

void ConfigurationRules::accept_separator() {
  if (!page.separators.has_selection()) return;
  const int chosen = page.separators.index;
  const std::string name = page.separators.text();
  const IniFile file(settings_path_);
  std::array<std::string, 3> outs;
  for (int k = 4; k <= 6; ++k) {
    std::string value = upper_case(trimmed(file.read_string(name, kSeparatorKeys[k - 4], "")));
    bool valid = value.empty() || value.size() >= 16;
    for (std::size_t b = 0; b < 8 && valid && !value.empty(); ++b)
      valid = record_byte(value, b) >= 0;
    if (!valid) {
      ui.error("Separator \"" + name + "\": " + kSeparatorKeys[k - 4] + " value \"" + value +
               "\" is not an I/O record");
      return;
    }
    outs[static_cast<std::size_t>(k - 4)] = value;
  }
  const std::string paths_text = upper_case(trimmed(value_of(settings_.separators, name, "08")));
  const int paths = hex_pair(paths_text);
  if (paths < 0 || paths_text.size() != 2) {
    ui.error("Separator \"" + name + "\": \"" + paths_text + "\" is not a number of sorter paths");
    return;
  }

  for (int k = 4; k <= 6; ++k) {
    const std::string& value = outs[static_cast<std::size_t>(k - 4)];
    const std::string check = value.empty() ? std::string(20, '0') : value;
    if (is_sorter_record(check) && !holds_sorter_or_nothing(io(k))) {
      ui.error(language_text(msg::kThisSorterIsNotAllowed));
      page.separators.index = 0;
      return;
    }
  }

  // The controls are stored before the old sorters are freed, so that a
  // freed output is written as an unused one and not with its old timer.
  store_io_records();
  store_parameter_image();
  for (int k = 4; k <= 6; ++k) {
    if (!is_sorter_record(io(k))) continue;
    io(k) = "FFFFFFFFFFFFFFFFNNNY";
    IoRow& r = row(k);
    r.note.clear();
    r.time_on_unit.clear();
    r.time_off_unit.clear();
    r.time_on.visible = false;
    r.time_off.visible = false;
  }
  for (int k = 4; k <= 6; ++k) {
    const std::string& value = outs[static_cast<std::size_t>(k - 4)];
    if (value.empty()) continue;
    io(k) = value;
    if (!is_sorter_record(value)) continue;
    IoRow& r = row(k);
    r.note = language_text(msg::kSorter);
    r.time_on.step = 5;
    r.time_on.set(record_byte(value, 6) * 5);
    r.time_on.visible = true;
    r.value.visible = false;
    r.time_off_unit.clear();
    r.channels_high_visible = false;
  }
  // The rows' functions, flags and allowed modes follow the new records; the
  // number of sorter paths is the separator's own.
  match_io_functions();
  set_parameter_byte(kSorterNum, static_cast<unsigned>(paths));
  images.mark_edited(kSectionConfiguration);
  refresh_configuration_view();
  page.separators.index = chosen;
  ui.information(language_text(msg::kSorterDataAccepted));
}

}  // namespace qv82
