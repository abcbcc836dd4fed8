#include <array>

#include "lang/language.h"
#include "rules/configuration_rules.h"
#include "rules/record_text.h"

namespace qv82 {

namespace {

constexpr std::string_view kUnknownTemplate = "FFFFFFFFFFFFFFFFNNNN";
constexpr std::size_t kTimeoutWarning = 9;
constexpr std::string_view kStandardDipMode = "00";
constexpr std::size_t kSorterNum = 18;

// The four record prefixes under which a record is recognised: as read, with
// the other active level, with the other edge direction, and with both.
// Level and direction are the user's choice within one function.
std::array<std::string, 4> prefix_variants(const std::string& record) {
  const std::string prefix = text_part(record, 0, 4);
  std::array<std::string, 4> variants{prefix, prefix, prefix, prefix};
  const int mode = hex_pair(text_part(prefix, 2, 2));
  if (prefix.size() < 4 || mode < 0) return variants;
  const std::string other_level =
      text_part(prefix, 0, 2) + hex_byte(static_cast<unsigned>(mode) ^ 0x80);
  variants[1] = other_level;
  const auto swap_direction = [](std::string text) {
    text[3] = swapped_direction(text[3]);
    return text;
  };
  variants[2] = swap_direction(prefix);
  variants[3] = swap_direction(other_level);
  return variants;
}

bool matches_any(const std::string& template_prefix, const std::array<std::string, 4>& variants) {
  if (template_prefix.size() < 4) return false;
  for (const std::string& v : variants) {
    if (v == template_prefix) return true;
  }
  return false;
}

void set_record_flags(std::string& record, std::string_view flags) {
  if (record.size() < 16) return;  // an empty or damaged record stays as it is
  std::string f(flags);
  f.resize(4, 'N');
  record = record.substr(0, 16) + f;
}

}  // namespace

std::string ConfigurationRules::function_section(int position, int index) const {
  if (position == 8 || (position == 7 && index > last_output_index_)) {
    return std::string(kInputsSection);
  }
  return std::string(kOutputsSection);
}

bool ConfigurationRules::pick_io_function(int position, int index) {
  IoRow& r = row(position);
  if (index < 0 || index >= static_cast<int>(r.function.items.size())) return false;
  r.function.index = index;  // the list shows the picked entry even when refused
  const std::string result =
      select_io_function(position, function_section(position, index), r.function.items[index]);
  if (result == "OK") return true;
  ui.error(result);
  return false;
}

bool ConfigurationRules::output_requires_input(const std::string& old_class) const {
  const std::vector<std::string>& outputs = catalogue_.outputs();
  for (int j = 1; j <= 7; ++j) {
    const auto variants = prefix_variants(upper_case(io(j)));
    for (std::size_t m = 1; m < outputs.size(); ++m) {
      const std::string prefix =
          text_part(catalogue_.function_template(kOutputsSection, outputs[m], "0000"), 0, 4);
      // The output's active level does not change what it needs.
      if (!matches_any(prefix, {variants[0], variants[1], variants[0], variants[1]})) continue;
      const std::string needs = upper_case(catalogue_.rule(outputs[m], "Must have", ""));
      if (needs.find(old_class) != std::string::npos) return true;
    }
  }
  return false;
}

std::string ConfigurationRules::select_io_function(int position, std::string_view section,
                                                   const std::string& name) {
  const std::string function = catalogue_.function_template(section, name, "");
  const std::string function_class = text_part(function, 0, 2);
  const auto other_has_class = [&](std::string_view wanted) {
    for (int q = 1; q <= 8; ++q) {
      if (q != position && io_class(q).size() == 2 && io_class(q) == wanted) return true;
    }
    return false;
  };

  if (catalogue_.rule(name, "Solo", "0") == "1" && function_class.size() == 2 &&
      other_has_class(function_class)) {
    return language_text(msg::kThisOutputIsAlreadyDefined);
  }
  // Deliberately a plain substring search: "0304" also forbids class 30.
  const std::string conflict = upper_case(catalogue_.rule(name, "Conflict", ""));
  for (int q = 1; q <= 8 && !conflict.empty(); ++q) {
    if (q != position && io_class(q).size() == 2 &&
        conflict.find(io_class(q)) != std::string::npos) {
      return language_text(msg::kThisOutputCannotBeUsed);
    }
  }
  const std::string needs = upper_case(catalogue_.rule(name, "Must have", ""));
  for (std::size_t j = 0; j + 1 < needs.size(); j += 2) {
    if (!other_has_class(needs.substr(j, 2))) return language_text(msg::kFirstConfigureInputs);
  }
  if (position >= 7) {
    const std::string old_class = upper_case(io_class(position));
    if (old_class.size() == 2 && output_requires_input(old_class)) {
      return language_text(msg::kCannotChangeInput);
    }
  }

  // The page is redrawn from the images below: edits made in the other
  // controls are kept in them first.
  store_io_records();
  store_parameter_image();
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    const std::string forced = upper_case(catalogue_.rule(name, common_parameter_key(k), "FFN"));
    const int value = hex_pair(forced);
    if (value >= 0 && value != 0xFF) set_parameter_byte(k, static_cast<unsigned>(value));
    if (text_part(forced, 2, 1) == "Y") set_parameter_flag(k, 'Y');
  }
  io(position) = function;
  images.mark_edited(kSectionConfiguration);

  recognise_separator();
  match_io_functions();
  refresh_configuration_view();
  row(position).note = catalogue_.rule(name, "Note", "");
  return "OK";
}

void ConfigurationRules::match_io_functions() {
  ensure_parameter_image();
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) set_parameter_flag(k, 'N');
  for (std::string& record : images.io_text) set_record_flags(record, "NNNN");
  for (IoRow& r : page.rows) r.function.index = -1;
  display_mask_ = 0;
  dip_mode_list_.clear();
  bool standard_only = false;
  sorter_bits_ = 0;

  const std::vector<std::string>& outputs = catalogue_.outputs();
  const std::vector<std::string>& inputs = catalogue_.inputs();
  const int combined = static_cast<int>(outputs.size() + (inputs.empty() ? 0 : inputs.size() - 1));

  for (int p = 1; p <= 8; ++p) {
    const std::string record = upper_case(io(p));
    const auto variants = prefix_variants(record);
    std::string name;
    std::string function;
    int found = -1;
    for (int i = 0; i < combined && found < 0; ++i) {
      const bool input = i > last_output_index_;
      name = input ? inputs[static_cast<std::size_t>(i - last_output_index_)]
                   : outputs[static_cast<std::size_t>(i)];
      function = catalogue_.function_template(input ? kInputsSection : kOutputsSection, name,
                                              kUnknownTemplate);
      if (matches_any(text_part(function, 0, 4), variants)) found = i;
    }
    if (found < 0) continue;

    IoRow& r = row(p);
    r.note = catalogue_.rule(name, "Note", "");
    set_record_flags(io(p), text_part(function, 16, 4));
    if (p == 7) {
      r.function.index = found;
    } else if (p == 8) {
      // The entry for no input is not in the combined list; it is still the
      // right choice for an input position whose record matches it.
      const bool no_input =
          !inputs.empty() && matches_any(text_part(catalogue_.function_template(
                                                       kInputsSection, inputs[0], kUnknownTemplate),
                                                   0, 4),
                                         variants);
      r.function.index =
          found > last_output_index_ ? found - last_output_index_ : (no_input ? 0 : -1);
    } else {
      r.function.index = found <= last_output_index_ ? found : -1;
    }
    for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
      if (k == kTimeoutWarning) continue;
      if (text_part(catalogue_.rule(name, common_parameter_key(k), "FFN"), 2, 1) == "Y") {
        set_parameter_flag(k, 'Y');
      }
    }
    const int mask = hex_pair(catalogue_.rule(name, "display mask", "00"));
    display_mask_ = static_cast<std::uint8_t>((display_mask_ | (mask < 0 ? 0 : mask)) & 0x0F);
    const std::string dips = upper_case(catalogue_.rule(name, "dip switches", ""));
    if (dips == kStandardDipMode) {
      standard_only = true;
    } else {
      for (std::size_t j = 0; j + 1 < dips.size(); j += 2) {
        if (!list_has_pair(dip_mode_list_, dips.substr(j, 2))) dip_mode_list_ += dips.substr(j, 2);
      }
    }
  }
  // A function that allows nothing but the standard mode gives way to one
  // that asks for special modes, whatever the order of the positions; a
  // function that lists the standard mode among its own keeps it, and one
  // without DIP modes adds none.
  if (standard_only && dip_mode_list_.empty()) dip_mode_list_ = kStandardDipMode;

  for (int p = 1; p <= 8; ++p) {
    const std::string record = upper_case(io(p));
    const std::string prefix = text_part(record, 0, 4);
    if ((prefix == "0706" || prefix == "0786") && text_part(record, 4, 2) == "BF") {
      set_parameter_flag(kTimeoutWarning, 'Y');
    }
    if (is_sorter_record(record)) {
      const int paths = record_byte(record, 2);
      if (paths > 0) sorter_bits_ |= static_cast<std::uint8_t>(paths);
    }
  }
  unsigned significant = 0;
  for (unsigned bits = sorter_bits_; bits != 0; bits >>= 1) ++significant;
  set_parameter_byte(kSorterNum, significant);
}

}  // namespace qv82
