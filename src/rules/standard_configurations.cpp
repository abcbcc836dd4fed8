#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "device/dialogs.h"
#include "files/ini_file.h"
#include "files/read_file.h"
#include "lang/language.h"
#include "link/errors.h"
#include "rules/configuration_rules.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr const char* kRecordKeys[kIoRecordCount] = {"Output1", "Output2", "Output3", "Output4",
                                                     "Output5", "Output6", "In2Out7", "Input1"};
constexpr std::string_view kCustom = "Custom";

bool is_hex_text(std::string_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    if (hex_pair(text.substr(i, 2)) < 0) return false;
  }
  return text.size() % 2 == 0;
}

// Plain text at the end of the file, in the file's own line ending.
void append_empty_lines(const std::string& path, int count) {
  const FileContent file = read_whole_file(path, kSettingsFileLimit);
  if (!file.ok() && file.failure != ReadFailure::kMissing) return;
  const std::string& content = file.content;
  const std::string ending = content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::ofstream out(path, std::ios::app | std::ios::binary);
  for (int i = 0; i < count; ++i) out << ending;
}

void remove_custom(ChoiceList& list) {
  const std::string chosen = list.text();
  std::erase(list.items, std::string(kCustom));
  const auto it = std::find(list.items.begin(), list.items.end(), chosen);
  list.index = chosen.empty() || it == list.items.end()
                   ? -1
                   : static_cast<int>(std::distance(list.items.begin(), it));
}

}  // namespace

void ConfigurationRules::read_time_base() {
  const IniFile file(settings_path_);
  const auto base = read_hex_setting(file, "SETTINGS", "Time base", "0096");
  const long steps = round_half_even(static_cast<long>(base), 150);
  // A time base below 75 would round to 0 and make every timer step 0.
  time_base_ = steps < 1 ? 1 : static_cast<int>(steps > 255 ? 255 : steps);
}

void ConfigurationRules::apply_standard_configuration() {
  if (!page.versions.has_selection()) {
    page.common_parameters_visible = false;
    page.io_configuration_visible = false;
    page.separator_settings_visible = false;
    page.display_options_visible = false;
    images.loaded_sections &= static_cast<std::uint8_t>(~kSectionConfiguration);
    return;
  }
  const std::string name = page.versions.text();
  const bool stored = name != kCustom && std::filesystem::exists(settings_path_);
  std::array<std::string, kIoRecordCount> records;
  std::string digits;
  if (stored) {
    // Everything is read and checked before the page changes.
    const IniFile file(settings_path_);
    for (std::size_t p = 0; p < kIoRecordCount; ++p) {
      const std::string value = upper_case(trimmed(file.read_string(name, kRecordKeys[p], "")));
      if (!value.empty() && (value.size() < 16 || !is_hex_text(value.substr(0, 16)))) {
        throw ConversionError("Standard configuration \"" + name + "\": " + kRecordKeys[p] +
                              " value \"" + value + "\" is not an I/O record");
      }
      records[p] = value.substr(0, std::min<std::size_t>(value.size(), 16));
    }
    for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
      const std::string value =
          upper_case(trimmed(file.read_string(name, common_parameter_key(k), "00")));
      if (value.size() != 2 || hex_pair(value) < 0) {
        throw ConversionError("Standard configuration \"" + name +
                              "\": " + common_parameter_key(k) + " value \"" + value +
                              "\" is not a hexadecimal byte");
      }
      digits += value;
    }
    read_time_base();
  }

  show_configuration_groups();
  images.loaded_sections |= kSectionConfiguration;
  if (stored) {
    images.io_text = records;
    images.param_image = digits + std::string(kCommonParameterCount, 'N');
  }
  match_io_functions();
  refresh_configuration_view();
}

void ConfigurationRules::choose_standard_configuration(int index) {
  const int previous = page.versions.index;
  page.versions.index = index < static_cast<int>(page.versions.items.size()) ? index : -1;
  try {
    apply_standard_configuration();
    // A standard configuration the user picks is the user's whole page.
    images.take_whole_sections(kSectionConfiguration);
  } catch (const ConversionError& e) {
    page.versions.index = previous;
    ui.error(e.what());
  }
}

void ConfigurationRules::versions_list_opened() { remove_custom(page.versions); }

void ConfigurationRules::recognise_standard_configuration() {
  for (IoRow& r : page.rows) r.note.clear();
  remove_custom(page.versions);
  const IniFile file(settings_path_);
  int found = -1;
  for (std::size_t i = 0; i < page.versions.items.size() && found < 0; ++i) {
    const std::string& name = page.versions.items[i];
    bool equal = true;
    for (std::size_t p = 0; p < kIoRecordCount && equal; ++p) {
      const std::string& loaded = images.io_text[p];
      // A sorter may sit on outputs 4 ... 6 of any configuration.
      if (p >= 3 && p <= 5 && is_sorter_record(loaded)) continue;
      const std::string stored = upper_case(trimmed(file.read_string(name, kRecordKeys[p], "")));
      equal = text_part(stored, 0, 4) == upper_case(text_part(loaded, 0, 4));
    }
    if (equal) found = static_cast<int>(i);
  }
  if (found < 0) {
    page.versions.items.emplace_back(kCustom);
    found = static_cast<int>(page.versions.items.size()) - 1;
  }
  page.versions.index = found;
  show_configuration_groups();
  match_io_functions();
  stop_time_enabled_ = page.stop_mode_text != language_text(msg::kDisabled);
}

bool ConfigurationRules::accept_new_configuration_name(const std::string& name) {
  const std::string wanted = trimmed(name);
  // Settings sections are found without regard to case, so a name that
  // differs only in case would overwrite a stored configuration. "Custom"
  // stands for an unrecognised configuration and leaves the list whenever it
  // is opened, so it cannot name a stored one either.
  bool used = !wanted.empty() && same_text_ignoring_case(wanted, kCustom);
  for (const std::string& entry : page.versions.items) {
    used = used || (!wanted.empty() && same_text_ignoring_case(trimmed(entry), wanted));
  }
  if (used) {
    ui.error(language_text(msg::kNameIsAlreadyUsed));
    return false;
  }
  if (!wanted.empty() &&
      (!IniFile::valid_section_name(wanted) || !IniFile::valid_key_name(wanted))) {
    ui.error("\"" + wanted +
             "\" cannot name a configuration in the settings file: a name must not hold "
             "\"=\" or \"]\", begin with \"[\" or \";\", or break the line");
    return false;
  }
  // The configuration's records go into a section of that name: one of the
  // file's other sections would be overwritten.
  if (!wanted.empty() && IniFile(settings_path_).section_exists(wanted)) {
    ui.error(language_text(msg::kNameIsAlreadyUsed));
    return false;
  }
  return accept_configuration_name(ui, name, page.versions.items);
}

bool ConfigurationRules::store_standard_configuration(const NameDialog& name_dialog) {
  if (ui.question(language_text(msg::kAreYouSure), Buttons::YesNo) != Answer::Yes) return false;
  const auto typed =
      name_dialog(language_text(msg::kNewConfiguration),
                  [this](const std::string& text) { return accept_new_configuration_name(text); });
  if (!typed) return false;
  const std::string name = trimmed(*typed);
  // Checked again in case the dialog did not run the check.
  if (!accept_new_configuration_name(name)) return false;

  before_images_saved();
  append_empty_lines(settings_path_, 7);
  IniFile file(settings_path_);
  bool written = true;
  for (std::size_t p = 0; p < kIoRecordCount && written; ++p) {
    written = file.write_string(name, kRecordKeys[p], text_part(images.io_text[p], 0, 16));
  }
  for (std::size_t k = 1; k <= kCommonParameterCount && written; ++k) {
    written = file.write_string(name, common_parameter_key(k),
                                text_part(images.param_image, 2 * (k - 1), 2));
  }
  // Listed last, so that a failed write never offers a half-stored entry.
  if (written) written = file.write_string("Configurations", name, "1");
  if (!written) {
    ui.error(language_text(msg::kWritingError) + " " + file.last_error());
    return false;
  }
  page.versions.items.push_back(name);
  page.versions.index = static_cast<int>(page.versions.items.size()) - 1;
  return true;
}

}  // namespace qv82
