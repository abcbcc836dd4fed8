#include "lang/language.h"
#include "rules/configuration_rules.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr std::size_t kTimeMultiplyer = 10;
constexpr std::size_t kDipSwMode = 11;

// The boxes that a function shows through its param_image flag.
constexpr std::size_t kFlaggedParameters[] = {1, 2, 3, 4, 5, 6, 7, 9, 10, 12, 13};

void hide_row(IoRow& r) {
  r.time_on.visible = false;
  r.time_off.visible = false;
  r.channels_high_visible = false;
  r.channels_low_visible = false;
  r.value.visible = false;
  r.warning.visible = false;
  r.level_visible = false;
  r.direction_visible = false;
  r.impulses.visible = false;
}

}  // namespace

void ConfigurationRules::refresh_configuration_view() {
  ensure_parameter_image();
  for (IoRow& r : page.rows) hide_row(r);
  page.headings = ColumnHeadings{};
  for (ParameterControl& control : page.parameters) control.box.visible = false;

  decode_parameters();
  decode_dip_mode();
  decode_display();
  decode_io_rows();
  show_parameters();
  show_io_rows();
  recognise_separator();
}

void ConfigurationRules::decode_parameters() {
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    const int value = parameter_byte(k);
    NumberBox& box = page.parameter(k).box;
    if (k == kTimeMultiplyer) {
      box.set(value < 0 ? 0 : value & 0x7F);
      page.multiplier_in_minutes = value >= 0 && (value & 0x80) != 0;
    } else {
      box.set(value < 0 ? 0 : value);
    }
  }
}

void ConfigurationRules::decode_dip_mode() {
  const std::string code = text_part(images.param_image, 2 * (kDipSwMode - 1), 2);
  page.dip_mode.index = page.dip_mode.items.empty() ? -1 : 0;
  for (std::size_t i = 0; i < settings_.dip_modes.size(); ++i) {
    if (upper_case(settings_.dip_modes[i].value.empty() ? "00" : settings_.dip_modes[i].value) ==
        code) {
      page.dip_mode.index = static_cast<int>(i);
      break;
    }
  }
  const int value = hex_pair(code);
  dip_code_ = static_cast<std::uint8_t>(value < 0 ? 0 : value);
}

void ConfigurationRules::decode_io_rows() {
  for (int p = 1; p <= 8; ++p) {
    IoRow& r = row(p);
    const std::string& record = io(p);
    const int mode = mode_low(p);
    NumberBox& time_on = r.time_on;
    int step = 5;
    int maximum = 1275;
    if (p <= 7 && mode == 0x04) {
      step = time_base_ * page.parameter(kTimeMultiplyer).box.value;
      maximum = 65535;
    } else if (p <= 7 && (mode == 0x05 || mode == 0x07)) {
      step = time_base_;
    }
    if (step < 1) step = 1;
    time_on.step = step;
    time_on.minimum = p == 8 ? 0 : step;
    // A box never holds more steps than the record's byte can carry.
    time_on.maximum = maximum < 255 * step ? maximum : 255 * step;
    r.time_off.step = 5;
    r.time_off.minimum = 0;
    r.time_off.maximum = 1275;

    const int on_steps = record_byte(record, 6);
    const int off_steps = record_byte(record, 7);
    time_on.set((on_steps < 0 ? 0 : on_steps) * step);
    r.time_off.set((off_steps < 0 ? 0 : off_steps) * 5);
    r.time_on_unit = mode == 0x04 || mode == 0x05 || mode == 0x07 ? "s" : "ms";
    r.time_off_unit = "ms";
    if (p > 6) continue;

    const int record_class = record_byte(record, 0);
    const int low = record_byte(record, 2);
    const int high = record_byte(record, 3);
    const bool masked = record_class == 0x00 || record_class == 0x01 || record_class == 0x02;
    const unsigned mask =
        masked && low >= 0 && high >= 0 ? static_cast<unsigned>(low | high << 8) : 0;
    for (std::size_t i = 0; i < 16; ++i) r.channels[i] = (mask >> i) & 1u;
    if (record_class == 0x05 || record_class == 0x06) r.value.set(low < 0 ? 0 : low);
    r.warning.index = warning_index(text_part(record, 4, 2));
  }
  update_time_units();
}

void ConfigurationRules::show_parameters() {
  const std::string flags =
      text_part(images.param_image, 2 * kCommonParameterCount, kCommonParameterCount);
  for (std::size_t k : kFlaggedParameters) {
    page.parameter(k).box.visible = text_part(flags, k - 1, 1) == "Y";
  }
  page.parameter(8).box.visible = stop_time_enabled_;
  page.parameter(17).box.visible = true;
  update_parameter_units();
}

void ConfigurationRules::show_io_rows() {
  ColumnHeadings& h = page.headings;
  for (int p = 1; p <= 8; ++p) {
    IoRow& r = row(p);
    const std::string& record = io(p);
    const std::string prefix = text_part(record, 0, 4);
    const std::string flags = text_part(record, 16, 4);
    const int record_class = record_byte(record, 0);
    const int mode = record_byte(record, 1);

    r.time_on.visible = text_part(flags, 0, 1) == "Y";
    r.time_off.visible = p <= 7 && text_part(flags, 1, 1) == "Y";
    if (p <= 6) {
      const bool channels = text_part(flags, 2, 1) == "Y";
      r.channels_low_visible = channels;
      r.channels_high_visible = channels && !is_sorter_record(record);
      r.value.visible = record_class == 0x05 || record_class == 0x06;
      r.warning.visible = prefix == "0706" || prefix == "0786";
    }
    h.time_on = h.time_on || r.time_on.visible;
    h.time_off = h.time_off || r.time_off.visible;
    h.value = h.value || r.value.visible;
    if (r.channels_high_visible) h.ch16 = h.ch12 = true;
    if (r.channels_low_visible) h.ch8 = h.ch4 = h.ch1 = true;
    h.channels = h.channels || r.channels_high_visible || r.channels_low_visible;

    update_row_images(p);

    if (p >= 7 && text_part(record, 0, 1) == "8" && mode > 0 && mode < 0x85) {
      const int impulses = record_byte(record, 2);
      r.impulses.set(impulses < 0 ? 0 : impulses);
      r.impulses.visible = true;
      r.impulses_caption = record_class == 0x87 ? "Div." : "Imp.";
    }
  }
}

void ConfigurationRules::update_parameter_units() {
  const int stop_time = page.parameter(8).box.value;
  page.parameter(8).unit = stop_time >= 255 ? language_text(msg::kDisabledUnit) : "s";
  const int inhibit = page.parameter(17).box.value;
  page.parameter(17).unit = inhibit == 0     ? language_text(msg::kDisabledUnit)
                            : inhibit == 255 ? language_text(msg::kResetValue)
                                             : "s";
}

}  // namespace qv82
