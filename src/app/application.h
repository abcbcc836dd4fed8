#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/compare.h"
#include "app/configuration_workspace.h"
#include "app/version.h"
#include "config/backups.h"
#include "device/coin_selector.h"
#include "device/device_state.h"
#include "device/ui.h"
#include "files/ini_file.h"
#include "link/cctalk_link.h"

namespace qv82 {

inline constexpr const char* kSettingsFileName = "qv82hs.ini";
inline constexpr const char* kIoFileName = "io.ini";
inline constexpr const char* kTemplateFileName = "template.xml";
inline constexpr const char* kOpenFileFilter = "Corvanti coin selector xml files|*.xml";
inline constexpr int kRecommendedScreenWidth = 1024;
inline constexpr int kRecommendedScreenHeight = 768;

// The key names that fill the selection lists of the pages. Lists of the
// same kind (the seven output lists, the six warning lists, the twenty
// statistic lists) share one entry list here.
struct SelectionLists {
  std::vector<std::string> configurations;     // [Configurations]
  std::vector<std::string> separators;         // [Separators]
  std::vector<std::string> displays;           // [Displays]
  std::vector<std::string> dip_switch_modes;   // [Dip switch modes]
  std::vector<std::string> warnings;           // [Warnings]
  std::vector<std::string> statistic_options;  // [Statistic options]
  std::vector<std::string> outputs;            // io.ini [OUTPUTS]
  std::vector<std::string> inputs;             // io.ini [INPUTS]
  // The "In2Out7" list: the outputs, then the inputs from the second on.
  std::vector<std::string> in2out7;
  // Index in in2out7 of the last output entry, -1 without outputs.
  int in2out7_last_output = -1;
};

// Where the windows of later work join start-up and the tool bar. Every
// hook is optional; an empty one is skipped.
struct ApplicationHooks {
  // Start-up.
  std::function<void()> load_language_texts;
  // Width and height of the screen, for the resolution advice.
  std::function<std::pair<int, int>()> screen_size;
  std::function<void(const SelectionLists&)> lists_loaded;
  // Lower limit and value of the stop-time field.
  std::function<void(unsigned)> stop_time_min_loaded;
  std::function<void()> apply_first_standard_configuration;
  std::function<void(int)> show_channel;
  std::function<void(const std::string& path)> load_template;

  // Windows the tool bar opens (modally).
  std::function<void()> open_test;
  std::function<void()> open_production_test;
  std::function<void()> open_erase;
  std::function<void()> refresh_statistics;
  // True when a download completed (the device runs the new firmware).
  std::function<bool()> open_firmware_download;
  std::function<void()> close_main_window;
  // The main window closes: end logging to file.
  std::function<void()> close_log_file;
  // A backup was written before overwriting the device, with its path.
  std::function<void(const std::string&)> backup_written;
};

// The application: owns the link to the coin selector, what is known about
// the device, the settings file of the working directory, and runs start-up,
// the tool bar and the exit. The windows and the command line drive it and
// show what it holds.
// The language of a settings file's [SETTINGS] Language: EN, IT or HR;
// English for a missing or unknown value.
int language_of_settings(const IniFile& settings);

// What to tell about a [SETTINGS] Language the program does not know (a
// typing error in the file); empty when it is missing or known.
std::string language_setting_problem(const IniFile& settings);

class Application {
 public:
  Application(SerialPort& port, EventPump& pump, Ui& ui, std::string workdir);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Ui& ui;
  const std::string workdir;
  CcTalkLink link;
  DeviceState device;
  IniFile settings;
  CoinSelector selector;
  // The configuration image, its pages and the file and device transfers.
  ConfigurationWorkspace configuration;
  ApplicationHooks hooks;
  // What the device held before each overwrite.
  Backups backups;

  SelectionLists lists;
  unsigned stop_time_min = 5;
  bool factory_test_visible = false;
  std::string open_file_filter;
  // The language chosen on the command line; it wins over the setting for
  // this run and is not saved.
  int language_option = 0;

  // A data file of the working directory.
  std::string path_of(const std::string& file_name) const;
  // "QV82HS programming and configuration utility ver 1.000"
  std::string window_title() const;
  // The device information fields, caption and value, in panel order.
  std::vector<std::pair<std::string, std::string>> device_info() const {
    return device_info_lines(device.info);
  }

  // The whole start-up sequence, search included. Throws ConversionError
  // for a "ccTalkAddr" or "Stop time min" that is not a hexadecimal number.
  void start_up();

  // The language of the settings file.
  int configured_language() const { return language_of_settings(settings); }
  // The language of the command line, else that of the setting.
  int chosen_language() const;
  // The user chose a language in the window: every caption and message
  // follows at once and the setting remembers it. Nothing goes to the
  // device; the pages keep what they show. False for an unknown base, or
  // when the setting could not be written (the language is switched all the
  // same).
  bool change_language(int base);
  // Start-up once, the first time the main window shows. A conversion error
  // is shown to the user and stops start-up: false.
  bool start_up_once();

  // Parts of start-up that the command line runs on their own.
  // Masks 0, address 2, unlock flags and keys cleared, channels all FF.
  void reset_device_state();
  // The selection lists of qv82hs.ini but the warnings.
  void read_lists();
  // [SETTINGS]: stop time limit, address, port (opened; a refusal is ignored).
  void read_settings();
  // The warnings of qv82hs.ini and the function lists of io.ini.
  void read_rule_lists();

  // Tool bar.
  bool open_file();         // File Open
  bool save_file();         // File Save
  bool upload();            // Upload
  bool download();          // Download
  bool run_test();          // Test
  bool run_factory_test();  // Factory test
  bool erase();             // Erase
  void upgrade_firmware();  // Upgrade
  bool search();            // Search
  // Compare (compare_operations.cpp): the items a file holds against what
  // the device holds there (reading only those), the checked items of a
  // tree against the device, or two files. Nothing when the file or the
  // device failed; the reason has been shown.
  std::optional<std::vector<ItemDifference>> compare_with_device(const std::string& path);
  std::optional<std::vector<ItemDifference>> compare_tree_with_device(const ParameterTree& tree);
  std::optional<std::vector<ItemDifference>> compare_files(const std::string& first,
                                                           const std::string& second);
  // Restore: a backup written into the device with the read-back of every
  // write. True when the device stored it.
  bool restore(const std::string& path);
  // "Compare with device": the file dialog, the comparison, the list.
  bool compare_file_with_device();
  // "Restore...": the connected device's backups to choose from, the
  // question, the restore.
  bool restore_backup();
  // The connected device's backups, newest first.
  std::vector<BackupEntry> device_backups();

  // Exit: true when the user confirmed and the main window closes.
  bool exit();
  void close_down();

 private:
  // The backup before every overwrite and the captions of read-back
  // messages.
  void install_write_guard();
  // Identifies the device; without one says "Coin selector not found!".
  bool identified_or_said();

  bool started_ = false;
};

}  // namespace qv82
