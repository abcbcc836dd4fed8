#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/working_images.h"
#include "device/ui.h"
#include "rules/config_page_model.h"
#include "rules/io_catalogue.h"
#include "rules/rules_settings.h"

namespace qv82 {

// The rules of the configuration page. They keep the page model, the I/O
// records (io_text) and the common parameters (param_image) consistent while
// the user edits them, using the function catalogue io.ini and the lists of
// qv82hs.ini. Positions are 1 ... 8 ("Output 1 :" ... "Input 1 :"), common
// parameters 1 ... 18 in param_image order.
//
// How the rest of the program uses it:
//
//  * Start-up calls activate(workdir) once: it reads io.ini and qv82hs.ini,
//    fills every list of the page and applies the first standard
//    configuration. A bad "Stop time min" or "Time base" throws
//    ConversionError (start-up stops and shows it). An io.ini that cannot be
//    used is said once there, with its full path: the I/O rules are off.
//
//  * xml_2_screen (after a file open or an upload) calls, when it applied
//    any I/O or common-parameter item:
//        show_configuration_groups();   // its step 4
//        apply_modes_byte(byte);        // step 7, when the modes item was applied
//        after_images_loaded();         // step 8
//    after_images_loaded() compares the records with the standard
//    configurations (selecting one, or "Custom"), rebuilds the flags and the
//    derived state (match_io_functions) and decodes io_text and param_image
//    into the controls (refresh_configuration_view).
//
//  * screen_2_xml (before a file save or a download) calls
//    before_images_saved() when bit 1 of loaded_sections is set: the controls
//    are encoded into io_text 1 ... 8 and the 36 digits of param_image
//    (store_io_records + store_parameter_image).
//
//  * The configuration page forwards each user action to one method below and
//    then renders the model again. Refusals are shown through the Ui.
class ConfigurationRules {
 public:
  // The "New configuration" dialog (ConfigurationNameDialog): its caption, and the check
  // run on each OK, which shows its own message and returns false to keep
  // the dialog open. Returns the accepted name, or nothing on Cancel.
  using NameCheckFn = std::function<bool(const std::string&)>;
  using NameDialog =
      std::function<std::optional<std::string>(const std::string&, const NameCheckFn&)>;

  ConfigurationRules(WorkingImages& images, ConfigPageModel& page, Ui& ui);

  ConfigurationRules(const ConfigurationRules&) = delete;
  ConfigurationRules& operator=(const ConfigurationRules&) = delete;

  // ---- start-up and the configuration image
  void activate(const std::string& workdir);
  // "The I/O rules are off: PATH REASON", or empty while io.ini is usable.
  std::string io_rules_off() const;
  void show_configuration_groups();
  // Bits 3-2 stop mode, bits 1-0 autoprog mode: 0 "Disabled", 1 "Mode 1",
  // 2 "Mode 2", 3 leaves the text as it is.
  void apply_modes_byte(std::uint8_t modes);
  // After a change of language: every text of the page in the new one,
  // nothing else changed (an unsaved edit stays unsaved).
  void relabel();
  void after_images_loaded();
  void before_images_saved();

  // ---- inputs and outputs
  // The rule checks and, when they pass, the change; "OK" or the message.
  std::string select_io_function(int position, std::string_view section, const std::string& name);
  // The user picked entry `index` of a row's list: the list shows it, and a
  // refusal is shown as an error. True when the function was taken.
  bool pick_io_function(int position, int index);
  void match_io_functions();
  void refresh_configuration_view();
  void store_io_records();
  bool any_timed_output() const;
  void check_timeout_warning();
  void update_time_units();
  // Time On or the value box of a row was edited (they share the handler).
  void time_on_changed(int position);
  // "Imp." of position 7 or 8 was edited.
  void impulses_changed(int position);
  void toggle_level(int position);
  void toggle_direction(int position);
  void set_edit(bool checked);

  // ---- common parameters
  void store_parameter_image();
  // A parameter box was edited (its value is already in the model).
  void parameter_changed(std::size_t k);
  // The "m" / "s" choice of the time multiplier.
  void set_multiplier_in_minutes(bool minutes);

  // ---- display, DIP switch mode, warnings
  void display_type_chosen(int index);
  void display_show_chosen(int index);
  void display_data_changed(int multiplier_index, int decimals);
  void dip_mode_chosen(int index);
  void warning_chosen(int position, int index);
  // Index of the first "Warnings" entry whose value is `code`, -1 when none.
  int warning_index(std::string_view code) const;

  // ---- standard configurations and separators
  void apply_standard_configuration();
  // The user picked entry `index` of " Choose version "; a bad value in the
  // settings file is shown as an error and changes nothing.
  void choose_standard_configuration(int index);
  // " Choose version " is being opened: "Custom" entries leave the list.
  void versions_list_opened();
  void recognise_standard_configuration();
  // "Set as standard configuration". True when a configuration was stored.
  bool store_standard_configuration(const NameDialog& name_dialog);
  // The dialog's OK: "Type name first" for a blank name, "Name is already
  // used" for a listed name (letter case ignored) or "Custom". True to close.
  bool accept_new_configuration_name(const std::string& name);
  void recognise_separator();
  void accept_separator();
  void choose_separator(int index);

  // ---- derived state
  int time_base() const { return time_base_; }
  std::uint8_t display_mask() const { return display_mask_; }
  const std::string& dip_mode_list() const { return dip_mode_list_; }
  std::uint8_t sorter_bits() const { return sorter_bits_; }
  std::uint8_t dip_code() const { return dip_code_; }
  int last_output_index() const { return last_output_index_; }
  bool stop_time_enabled() const { return stop_time_enabled_; }
  const IoCatalogue& catalogue() const { return catalogue_; }
  const RulesSettings& settings() const { return settings_; }
  const std::string& settings_path() const { return settings_path_; }

  WorkingImages& images;
  ConfigPageModel& page;
  Ui& ui;

 private:
  IoRow& row(int position) { return page.rows.at(static_cast<std::size_t>(position - 1)); }
  std::string& io(int position) {
    return images.io_text.at(static_cast<std::size_t>(position - 1));
  }
  const std::string& io(int position) const {
    return images.io_text.at(static_cast<std::size_t>(position - 1));
  }
  std::string io_class(int position) const;
  int mode_low(int position) const;  // byte 1 without the level bit, -1 when unreadable
  int parameter_byte(std::size_t k) const;
  void set_parameter_byte(std::size_t k, unsigned value);
  void set_parameter_flag(std::size_t k, char flag);
  void ensure_parameter_image();

  // Parts of refresh_configuration_view.
  void decode_parameters();
  void decode_dip_mode();
  void decode_display();
  void decode_io_rows();
  void show_parameters();
  void show_io_rows();
  void update_row_images(int position);
  void update_parameter_units();
  void fill_show_list(int type_index);
  std::uint8_t display_byte() const;

  void order_credit_levels();
  void time_multiplier_changed();
  std::string function_section(int position, int index) const;
  bool output_requires_input(const std::string& old_class) const;
  void read_time_base();

  IoCatalogue catalogue_;
  RulesSettings settings_;
  std::string settings_path_;
  int last_output_index_ = -1;
  int time_base_ = 1;
  std::uint8_t display_mask_ = 0;
  std::string dip_mode_list_;
  std::uint8_t sorter_bits_ = 0;
  std::uint8_t dip_code_ = 0;
  bool stop_time_enabled_ = false;
};

}  // namespace qv82
