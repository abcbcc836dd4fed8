#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/working_images.h"

namespace qv82 {

// What one control of the configuration page shows. The windows, the command
// line and the tests all read these; only the rules write them.

struct NumberBox {
  int value = 0;
  int minimum = 0;
  int maximum = 255;
  int step = 1;
  bool visible = false;

  // Holds the value within the range: outside it shows as the nearest bound.
  void set(int v) { value = v < minimum ? minimum : (v > maximum ? maximum : v); }
};

struct ChoiceList {
  std::vector<std::string> items;
  int index = -1;  // -1: nothing chosen
  bool visible = true;

  bool has_selection() const { return index >= 0 && index < static_cast<int>(items.size()); }
  // The chosen entry's text, "" with no selection.
  std::string text() const { return has_selection() ? items[index] : std::string(); }
};

// One row of " I/O configuration " (positions 1 ... 8).
struct IoRow {
  std::string caption;  // "Output 1 :" ... "Input 1 :"
  ChoiceList function;  // shown while "Edit" is checked
  std::string note;

  NumberBox time_on;
  std::string time_on_unit;
  NumberBox time_off;  // positions 1 ... 7
  std::string time_off_unit;

  // Channel check boxes (positions 1 ... 6): channels[i] is channel i + 1.
  std::array<bool, 16> channels{};
  bool channels_high_visible = false;  // 16 ... 9
  bool channels_low_visible = false;   // 8 ... 1

  NumberBox value;     // positions 1 ... 6, in the place of Time Off
  ChoiceList warning;  // positions 1 ... 6, in the place of Time On

  // Level button: "B1I"/"B0I" for outputs; for an input at positions 7 and 8
  // the input level image ("B1", "B1P", "B0Z", ...).
  bool level_visible = false;
  std::string level_image;
  // Direction button of an input (positions 7 and 8): "BUP" or "BDN".
  bool direction_visible = false;
  std::string direction_image;

  // "Imp." / "Div." box of positions 7 and 8 (1 ... 255).
  NumberBox impulses;
  std::string impulses_caption;
};

struct ColumnHeadings {
  bool time_on = false;
  bool time_off = false;
  bool value = false;
  bool channels = false;  // "Channels"
  bool ch16 = false;
  bool ch12 = false;
  bool ch8 = false;
  bool ch4 = false;
  bool ch1 = false;
  bool directions = false;
};

// A number box of the common parameters with its caption and unit label;
// caption and unit are shown with the box.
struct ParameterControl {
  std::string caption;
  NumberBox box;
  std::string unit;
};

// The "Multiplyer:" list of " Display options ", index 0 ... 15.
std::vector<std::string> display_multiplier_items();

struct ConfigPageModel {
  ConfigPageModel();

  // " Choose version " (may hold "Custom") and the store button beside it.
  ChoiceList versions;
  bool store_button_visible = false;

  // " I/O configuration "
  bool edit_checked = false;
  std::array<IoRow, kIoRecordCount> rows;
  ColumnHeadings headings;

  // Common parameters 1 ... 18 in param_image order (index k - 1). The boxes
  // of 11, 14 and 15 are unused: those parameters have lists below.
  std::array<ParameterControl, kCommonParameterCount> parameters;
  bool multiplier_in_minutes = false;  // the "m" / "s" choice of parameter 10

  // " Display options "
  ChoiceList display_type;  // "Type:", entry 0 = no display
  ChoiceList display_show;  // "Wiew:"
  ChoiceList display_multiplier;
  NumberBox display_decimals;  // visible together with display_multiplier

  ChoiceList dip_mode;  // " Dip switch mode "

  std::string stop_mode_text;      // " Stop mode "
  std::string autoprog_mode_text;  // " Autoprog mode "
  // The modes those two texts show: bits 2-3 stop mode, bits 0-1 autoprog.
  std::uint8_t modes = 0;

  ChoiceList separators;  // " Separator settings "

  // The four groups shown once a configuration is chosen or loaded.
  bool common_parameters_visible = false;
  bool io_configuration_visible = false;
  bool separator_settings_visible = false;
  bool display_options_visible = false;

  // The captions and mode texts again, in the current language; values,
  // lists and selections stay as they are.
  void relabel();

  ParameterControl& parameter(std::size_t k) { return parameters.at(k - 1); }
  const ParameterControl& parameter(std::size_t k) const { return parameters.at(k - 1); }
};

}  // namespace qv82
