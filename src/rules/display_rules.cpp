#include "lang/language.h"
#include "rules/configuration_rules.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr std::size_t kDisplayType = 14;
constexpr std::size_t kDispData = 15;
constexpr std::size_t kDispOptions = 16;

void show_display_data(ConfigPageModel& page, bool shown) {
  page.display_multiplier.visible = shown;
  page.display_decimals.visible = shown;
}

}  // namespace

// "Show:" gets the keys of the display type's section but the last one.
void ConfigurationRules::fill_show_list(int type_index) {
  page.display_show.items.clear();
  page.display_show.index = -1;
  if (type_index >= 0 && type_index < static_cast<int>(settings_.displays.size())) {
    page.display_show.items = names_of(show_entries(settings_.displays[type_index]));
  }
  page.display_show.visible = type_index > 0;
}

void ConfigurationRules::display_type_chosen(int index) {
  if (display_mask_ == 0 && index > 0) {
    ui.error(language_text(msg::kDisplayNotPossibleInConfiguration));
    page.display_type.index = page.display_type.items.empty() ? -1 : 0;
    page.display_show.index = -1;
    return;
  }
  page.display_type.index = index;
  fill_show_list(index);
  std::string options = "FF";
  if (index >= 0 && index < static_cast<int>(settings_.displays.size())) {
    options = value_of(settings_.displays[index].entries, "dsp_opt", "FF");
  }
  const int value = hex_pair(options);
  page.parameter(kDispOptions).box.set(value < 0 ? 0xFF : value);
  show_display_data(page, false);
}

void ConfigurationRules::display_show_chosen(int index) {
  const int type = page.display_type.index;
  if (type < 0 || type >= static_cast<int>(settings_.displays.size())) return;
  const auto entries = show_entries(settings_.displays[type]);
  if (index < 0 || index >= static_cast<int>(entries.size())) return;
  page.display_show.index = index;
  const int value = hex_pair(entries[index].value.empty() ? "0F" : entries[index].value);
  const int code = (value < 0 ? 0x0F : value) & 0x0F;

  static constexpr int kNames[] = {msg::kCreditLower, msg::kValueLower, msg::kTime};
  std::string missing;
  for (int b = 0; b < 3; ++b) {
    if ((code >> b & 1) && !(display_mask_ >> b & 1)) {
      if (!missing.empty()) missing += " and ";
      missing += language_text(kNames[b]);
    }
  }
  show_display_data(page, false);
  if (!missing.empty()) {
    ui.error(language_text(msg::kItIsNotPossibleToShow) + missing);
    page.display_show.index = -1;
    return;
  }
  if (value >= 0 && (value & 0x02)) {
    page.display_multiplier.index = 1;
    page.display_decimals.value = 0;
    show_display_data(page, true);
  }
}

void ConfigurationRules::display_data_changed(int multiplier_index, int decimals) {
  page.display_multiplier.index = multiplier_index;
  page.display_decimals.set(decimals);
}

std::uint8_t ConfigurationRules::display_byte() const {
  const int type = page.display_type.index;
  if (type <= 0 || type >= static_cast<int>(settings_.displays.size())) return 0xFF;
  std::string option;
  const auto entries = show_entries(settings_.displays[type]);
  if (page.display_show.index >= 0 && page.display_show.index < static_cast<int>(entries.size())) {
    option = entries[page.display_show.index].value;
  } else {
    option = value_of(settings_.displays[type].entries, "Not programmed", "FF");
  }
  const int code = hex_pair(option.empty() ? "FF" : option);
  return static_cast<std::uint8_t>(((type - 1) & 0x0F) << 4 |
                                   ((code < 0 ? 0x0F : code) & display_mask_ & 0x0F));
}

void ConfigurationRules::decode_display() {
  const int stored = parameter_byte(kDisplayType);
  const int byte = stored < 0 ? 0xFF : stored;
  const int t = byte >> 4;
  const int types = static_cast<int>(page.display_type.items.size());
  // 0xFF is "no display"; every other high nibble names "Type:" entry t + 1,
  // the first real display included.
  int index = byte != 0xFF && t + 1 < types ? t + 1 : 0;
  if (types == 0) index = -1;
  page.display_type.index = index;
  fill_show_list(index);
  show_display_data(page, false);

  const int o = byte & 0x0F;
  if (index > 0 && o > 0 && o < 15) {
    const auto entries = show_entries(settings_.displays[index]);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const int value = hex_pair(entries[i].value.empty() ? "00" : entries[i].value);
      if (value >= 0 && (value & 0x0F) == o) {
        page.display_show.index = static_cast<int>(i);
        show_display_data(page, (value & 0x02) != 0);
        break;
      }
    }
  }
  const int data = parameter_byte(kDispData);
  page.display_multiplier.index = data < 0 ? 0 : data >> 4;
  page.display_decimals.set(data < 0 ? 0 : data & 0x0F);
  const int options = parameter_byte(kDispOptions);
  page.parameter(kDispOptions).box.set(options < 0 ? 0 : options);
}

void ConfigurationRules::dip_mode_chosen(int index) {
  const int first = page.dip_mode.items.empty() ? -1 : 0;
  if (!page.versions.has_selection()) {
    page.dip_mode.index = first;
    return;
  }
  if (index < 0 || index >= static_cast<int>(settings_.dip_modes.size())) return;
  page.dip_mode.index = index;
  const std::string code =
      upper_case(value_of(settings_.dip_modes, settings_.dip_modes[index].name, "00"));
  const int value = hex_pair(code);
  // Modes are whole two-digit codes: "10" is not allowed by a list "0102".
  if (value < 0 || !list_has_pair(dip_mode_list_, code)) {
    ui.error(language_text(msg::kDipSwitchModeIsNotAllowed));
    page.dip_mode.index = first;
    dip_code_ = 0;
    return;
  }
  dip_code_ = static_cast<std::uint8_t>(value);
}

void ConfigurationRules::warning_chosen(int position, int index) {
  if (position < 1 || position > 6) return;
  if (index < 0 || index >= static_cast<int>(settings_.warnings.size())) return;
  std::string code = upper_case(value_of(settings_.warnings, settings_.warnings[index].name, "FF"));
  if (hex_pair(code) < 0) code = "FF";
  // The other controls are kept before the record is redrawn from io_text.
  store_io_records();
  store_parameter_image();
  std::string& record = io(position);
  if (record.size() >= 6) record.replace(4, 2, code.substr(0, 2));
  match_io_functions();
  refresh_configuration_view();
}

int ConfigurationRules::warning_index(std::string_view code) const {
  for (std::size_t i = 0; i < settings_.warnings.size(); ++i) {
    const std::string& value = settings_.warnings[i].value;
    if (same_text_ignoring_case(value.empty() ? "00" : value, code)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace qv82
