#include "rules/configuration_summary.h"

#include "lang/language.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

// "Type:" and " Stop mode " as captions of a "caption: value" line.
std::string label(const std::string& caption) {
  std::string text = trimmed(caption);
  while (!text.empty() && text.back() == ':') text.pop_back();
  return text;
}

std::string with_value(const std::string& caption, const std::string& value) {
  return label(caption) + ": " + value;
}

std::string box_line(const std::string& caption, const ParameterControl& control,
                     const std::string& unit) {
  std::string value = std::to_string(control.box.value);
  if (!unit.empty()) value += " " + unit;
  return with_value(caption, value);
}

}  // namespace

std::vector<std::string> configuration_summary(const ConfigPageModel& page) {
  std::vector<std::string> lines;
  lines.push_back(with_value(language_text(msg::kVersionSelection), page.versions.text()));
  for (const IoRow& row : page.rows) {
    const std::string name = row.function.text();
    lines.push_back(name.empty() ? row.caption : row.caption + " " + name);
  }

  for (std::size_t k = 1; k <= page.parameters.size(); ++k) {
    const ParameterControl& control = page.parameter(k);
    switch (k) {
      case 8:
        if (control.box.visible) {
          lines.push_back(box_line(label(language_text(msg::kStopMode)) + " " + control.caption,
                                   control, control.unit));
        }
        break;
      case 10:
        if (control.box.visible) {
          lines.push_back(
              box_line(control.caption, control, page.multiplier_in_minutes ? "m" : "s"));
        }
        break;
      case 11:
        if (page.dip_mode.has_selection()) {
          lines.push_back(with_value(language_text(msg::kDipSwitchMode), page.dip_mode.text()));
        }
        break;
      case 14:
        if (page.display_options_visible && page.display_type.has_selection()) {
          lines.push_back(with_value(language_text(msg::kType), page.display_type.text()));
          if (page.display_show.visible && page.display_show.has_selection()) {
            lines.push_back(with_value(language_text(msg::kWiew), page.display_show.text()));
          }
        }
        break;
      case 15:
        if (page.display_multiplier.visible) {
          lines.push_back(
              with_value(language_text(msg::kMultiplyer), page.display_multiplier.text()));
          lines.push_back(with_value(language_text(msg::kDecimals),
                                     std::to_string(page.display_decimals.value)));
        }
        break;
      case 17:
        lines.push_back(box_line(language_text(msg::kFraudInhibit) + " " + control.caption, control,
                                 control.unit));
        break;
      default:
        if (control.box.visible) lines.push_back(box_line(control.caption, control, control.unit));
        break;
    }
  }
  return lines;
}

}  // namespace qv82
