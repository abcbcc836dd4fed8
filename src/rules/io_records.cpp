#include "lang/language.h"
#include "rules/configuration_rules.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr std::size_t kCredit = 1;
constexpr std::size_t kTimeoutWarning = 9;
constexpr std::size_t kTimeMultiplyer = 10;

bool is_hex_record(const std::string& record) {
  if (record.size() < 16) return false;
  for (std::size_t b = 0; b < 8; ++b) {
    if (record_byte(record, b) < 0) return false;
  }
  return true;
}

// A shown box is converted to steps, halves to even; a hidden one keeps the
// byte it was loaded with, so an untouched record is written back as read.
std::string steps_of(const NumberBox& box, const std::string& record, std::size_t b) {
  if (!box.visible || box.step <= 0) return text_part(record, 2 * b, 2);
  const long steps = round_half_even(box.value < 0 ? 0 : box.value, box.step);
  return hex_byte(static_cast<unsigned>(steps > 255 ? 255 : steps));
}

}  // namespace

void ConfigurationRules::store_io_records() {
  for (int p = 1; p <= 8; ++p) {
    const std::string c = io(p);
    if (!is_hex_record(c)) continue;  // nothing on the page stands for it
    const IoRow& r = row(p);
    const std::string flags = text_part(c, 16, 4);
    std::string out = text_part(c, 0, 4);
    if (p <= 6) {
      const int record_class = record_byte(c, 0);
      // Classes without channels, value or warning keep bytes 2-3 as read:
      // the page has no control for them.
      unsigned word = static_cast<unsigned>(record_byte(c, 2) | record_byte(c, 3) << 8);
      if (record_class == 0x05 || record_class == 0x06) {
        word = static_cast<unsigned>(r.value.value) + 0xFF00;
      } else if (record_class == 0x00 || record_class == 0x01 || record_class == 0x02) {
        // The mask is the boxes alone: an unticked box clears its channel.
        word = 0;
        for (std::size_t i = 0; i < 16; ++i) {
          if (r.channels[i]) word |= 1u << i;
        }
      } else if (record_class == 0x07) {
        int code = record_byte(c, 2);
        if (r.warning.visible && r.warning.has_selection()) {
          code = hex_pair(upper_case(value_of(settings_.warnings, r.warning.text(), "FF")));
        }
        word = static_cast<unsigned>(code < 0 ? 0xFF : code) + 0xFF00;
      }
      out += hex_byte(word & 0xFF) + hex_byte(word >> 8) + text_part(c, 8, 4);
    } else {
      const std::string impulses = r.impulses.visible
                                       ? hex_byte(static_cast<unsigned>(r.impulses.value))
                                       : text_part(c, 4, 2);
      out += impulses + text_part(c, 6, 6);
    }
    out += steps_of(r.time_on, c, 6);
    out += p == 8 ? std::string("FF") : steps_of(r.time_off, c, 7);
    io(p) = out + flags;
  }
}

bool ConfigurationRules::any_timed_output() const {
  for (int p = 1; p <= 7; ++p) {
    const int mode = mode_low(p);
    if (mode == 0x04 || mode == 0x05 || mode == 0x07) return true;
  }
  return false;
}

void ConfigurationRules::check_timeout_warning() {
  NumberBox& warning = page.parameter(kTimeoutWarning).box;
  if (!warning.visible) return;
  int violation = 0;
  for (int p = 1; p <= 7; ++p) {
    const NumberBox& time_on = row(p).time_on;
    if (time_on.visible && mode_low(p) == 0x04 && warning.value > time_on.value) violation = p;
  }
  const int credit = page.parameter(kCredit).box.value;
  for (int p = 1; p <= 7; ++p) {
    const NumberBox& time_on = row(p).time_on;
    if (time_on.visible && mode_low(p) == 0x05 && time_on.value * credit < warning.value) {
      violation = 7 + p;
    }
  }
  if (violation == 0) return;
  ui.error(language_text(msg::kTimeoutWarningBiggerThanTimer));
  if (violation <= 7) {
    warning.set(row(violation).time_on.value);
  } else {
    warning.set(row(violation - 7).time_on.value * credit);
  }
}

void ConfigurationRules::update_time_units() {
  for (int p = 1; p <= 7; ++p) {
    const int record_class = record_byte(io(p), 0);
    const int mode = mode_low(p);
    if ((record_class == 0x03 || record_class == 0x04) && (mode == 0x04 || mode == 0x07)) {
      row(p).time_on_unit = page.multiplier_in_minutes ? "m" : "s";
    }
  }
}

void ConfigurationRules::time_on_changed(int position) {
  check_timeout_warning();
  if (position < 1 || position > 7) return;
  NumberBox& time_on = row(position).time_on;
  const int multiplier = page.parameter(kTimeMultiplyer).box.value;
  if (mode_low(position) == 0x04 && time_on.value > multiplier * 255) {
    time_on.value = multiplier * 255;
  }
}

void ConfigurationRules::impulses_changed(int position) {
  if (position < 7 || row(position).impulses.value == 1) return;
  for (int p = 1; p <= 7; ++p) {
    const std::string prefix = text_part(io(p), 0, 4);
    if (prefix == "0606" || prefix == "0686") return;
  }
  ui.information(language_text(msg::kRecomendedIs1Impuls));
}

void ConfigurationRules::toggle_level(int position) {
  std::string& record = io(position);
  const int mode = record_byte(record, 1);
  if (mode < 0) return;
  set_record_byte(record, 1, static_cast<unsigned>(mode) ^ 0x80);
  update_row_images(position);
}

void ConfigurationRules::toggle_direction(int position) {
  if (position < 7) return;
  std::string& record = io(position);
  const int record_class = record_byte(record, 0);
  if (record_class < 0 || (record_class & 0x80) == 0 || record.size() < 4) return;
  record[3] = swapped_direction(record[3]);
  update_row_images(position);
}

void ConfigurationRules::update_row_images(int position) {
  IoRow& r = row(position);
  const std::string& record = io(position);
  const int record_class = record_byte(record, 0);
  const int mode = record_byte(record, 1);
  const bool input_row = position == 8 || (position == 7 && record_class >= 0x80);
  if (!input_row) {
    const bool shown =
        position <= 6 ? (text_part(record, 0, 4).size() == 4 && text_part(record, 0, 4) != "FFFF")
                      : (record_class >= 0 && record_class < 0x80);
    r.level_visible = shown;
    r.level_image = mode >= 0 && (mode & 0x80) ? "B1I" : "B0I";
    r.direction_visible = false;
    return;
  }
  struct InputImages {
    int mode;
    const char* level;
    const char* direction;  // "" = none
  };
  static constexpr InputImages kImages[] = {
      {0x00, "B1", ""},     {0x01, "B1P", "BUP"}, {0x02, "B1Z", "BDN"}, {0x03, "B03", "BUP"},
      {0x04, "B04", "BDN"}, {0x80, "B0", ""},     {0x81, "B0P", "BDN"}, {0x82, "B0Z", "BUP"},
      {0x83, "B83", "BDN"}, {0x84, "B84", "BUP"}};
  for (const InputImages& images_of : kImages) {
    if (images_of.mode != mode) continue;
    r.level_visible = true;
    r.level_image = images_of.level;
    r.direction_image = images_of.direction;
    r.direction_visible = !r.direction_image.empty();
    return;
  }
  // Other modes leave the images as they were.
}

}  // namespace qv82
