#include "rules/configuration_rules.h"

#include "lang/language.h"
#include "rules/record_text.h"

namespace qv82 {

ConfigurationRules::ConfigurationRules(WorkingImages& images_, ConfigPageModel& page_, Ui& ui_)
    : images(images_), page(page_), ui(ui_) {}

std::string ConfigurationRules::io_rules_off() const {
  const std::string& problem = catalogue_.problem();
  return problem.empty() ? std::string() : language_text(msg::kIoRulesOff) + problem;
}

void ConfigurationRules::activate(const std::string& workdir) {
  const std::string base = workdir.empty() ? std::string(".") : workdir;
  // Everything that can fail is read before the page changes.
  RulesSettings settings = RulesSettings::load(base + "/qv82hs.ini");
  IoCatalogue catalogue;
  catalogue.load(base + "/io.ini");
  settings_ = std::move(settings);
  catalogue_ = std::move(catalogue);
  settings_path_ = base + "/qv82hs.ini";
  // Without the catalogue every function is accepted and nothing is
  // recognised; the person at the bench must know before relying on it.
  if (const std::string off = io_rules_off(); !off.empty()) ui.error(off);

  page.versions.items = settings_.configurations;
  page.versions.index = page.versions.items.empty() ? -1 : 0;
  page.separators.items = names_of(settings_.separators);
  page.separators.index = -1;
  page.display_type.items.clear();
  for (const auto& display : settings_.displays) page.display_type.items.push_back(display.name);
  page.display_type.index = page.display_type.items.empty() ? -1 : 0;
  page.dip_mode.items = names_of(settings_.dip_modes);
  page.dip_mode.index = page.dip_mode.items.empty() ? -1 : 0;
  dip_code_ = 0;

  NumberBox& stop_time = page.parameter(8).box;
  stop_time.minimum = settings_.stop_time_min;
  stop_time.value = settings_.stop_time_min;

  const std::vector<std::string> warnings = names_of(settings_.warnings);
  const std::vector<std::string>& outputs = catalogue_.outputs();
  const std::vector<std::string>& inputs = catalogue_.inputs();
  last_output_index_ = static_cast<int>(outputs.size()) - 1;
  for (int p = 1; p <= 8; ++p) {
    IoRow& r = row(p);
    r.function.items = p == 8 ? inputs : outputs;
    r.function.index = -1;
    if (p == 7 && inputs.size() > 1) {
      r.function.items.insert(r.function.items.end(), inputs.begin() + 1, inputs.end());
    }
    if (p <= 6) {
      r.warning.items = warnings;
      r.warning.index = warnings.empty() ? -1 : 0;
    }
  }
  ensure_parameter_image();
  apply_standard_configuration();
}

void ConfigurationRules::show_configuration_groups() {
  page.common_parameters_visible = true;
  page.io_configuration_visible = true;
  page.separator_settings_visible = true;
  page.display_options_visible = true;
}

void ConfigurationRules::apply_modes_byte(std::uint8_t modes) {
  // A mode of 3 has no text of its own: the texts stay as they were.
  const auto kept = [](unsigned mode, unsigned before) { return mode == 3 ? before : mode; };
  page.modes =
      static_cast<std::uint8_t>((kept((modes >> 2) & 0x03, (page.modes >> 2) & 0x03) << 2) |
                                kept(modes & 0x03, page.modes & 0x03));
  page.relabel();
}

void ConfigurationRules::relabel() {
  page.relabel();
  update_parameter_units();
  const std::string sorter = language_text(msg::kSorter);
  for (IoRow& r : page.rows) {
    for (const int base : {kEnglishBase, kItalianBase, kCroatianBase}) {
      if (!r.note.empty() && r.note == resource_text(base + msg::kSorter)) r.note = sorter;
    }
  }
}

void ConfigurationRules::after_images_loaded() {
  // Texts from files may be written in lower case; the rules compare text.
  for (std::string& text : images.io_text) text = upper_case(text);
  images.param_image = upper_case(images.param_image);
  ensure_parameter_image();
  recognise_standard_configuration();
  refresh_configuration_view();
}

void ConfigurationRules::before_images_saved() {
  store_io_records();
  store_parameter_image();
}

void ConfigurationRules::set_edit(bool checked) {
  page.edit_checked = checked;
  page.store_button_visible = checked;
  for (IoRow& r : page.rows) r.function.visible = checked;
}

std::string ConfigurationRules::io_class(int position) const {
  return text_part(io(position), 0, 2);
}

int ConfigurationRules::mode_low(int position) const {
  const int mode = record_byte(io(position), 1);
  return mode < 0 ? -1 : (mode & 0x7F);
}

void ConfigurationRules::ensure_parameter_image() {
  std::string& image = images.param_image;
  const std::size_t digits = 2 * kCommonParameterCount;
  if (image.size() < digits) image.resize(digits, '0');
  if (image.size() < digits + kCommonParameterCount) {
    image.resize(digits + kCommonParameterCount, 'N');
  }
}

int ConfigurationRules::parameter_byte(std::size_t k) const {
  return hex_pair(text_part(images.param_image, 2 * (k - 1), 2));
}

void ConfigurationRules::set_parameter_byte(std::size_t k, unsigned value) {
  ensure_parameter_image();
  images.param_image.replace(2 * (k - 1), 2, hex_byte(value));
}

void ConfigurationRules::set_parameter_flag(std::size_t k, char flag) {
  ensure_parameter_image();
  images.param_image[2 * kCommonParameterCount + k - 1] = flag;
}

}  // namespace qv82
