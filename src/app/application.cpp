#include "app/application.h"

#include <filesystem>

#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr const char* kLanguageKey = "Language";

}  // namespace

Application::Application(SerialPort& port, EventPump& pump, Ui& user, std::string directory)
    : ui(user),
      workdir(std::move(directory)),
      link(port, pump),
      settings(path_of(kSettingsFileName)),
      selector(link, device, ui, settings),
      configuration(link, selector, device, settings, ui, workdir),
      backups(selector, workdir, path_of(kTemplateFileName)) {
  install_write_guard();
  selector.open_firmware_download = [this] {
    return hooks.open_firmware_download && hooks.open_firmware_download();
  };
}

std::string Application::path_of(const std::string& file_name) const {
  return (std::filesystem::path(workdir) / file_name).string();
}

std::string Application::window_title() const {
  return language_text(msg::kApplicationTitle) + " ver " + kVersionText;
}

void Application::reset_device_state() {
  device.access_masks = {};
  link.device_address = 2;
  device.download_address = 2;
  device.unlock_flags = 0;
  device.channel_buffer = DeviceState::empty_channels();
  device.factory_key = {};
  device.pin_key = {};
  device.pin_check_bypass = false;
}

void Application::read_lists() {
  lists = {};
  lists.configurations = settings.section_keys("Configurations");
  lists.separators = settings.section_keys("Separators");
  lists.displays = settings.section_keys("Displays");
  lists.dip_switch_modes = settings.section_keys("Dip switch modes");
  lists.statistic_options = settings.section_keys("Statistic options");
  if (hooks.lists_loaded) hooks.lists_loaded(lists);
}

void Application::read_rule_lists() {
  lists.warnings = settings.section_keys("Warnings");
  const IniFile io_rules(path_of(kIoFileName));
  lists.outputs = io_rules.section_keys("OUTPUTS");
  lists.inputs = io_rules.section_keys("INPUTS");
  lists.in2out7 = lists.outputs;
  lists.in2out7_last_output = static_cast<int>(lists.outputs.size()) - 1;
  if (lists.inputs.size() > 1) {
    lists.in2out7.insert(lists.in2out7.end(), lists.inputs.begin() + 1, lists.inputs.end());
  }
  if (hooks.lists_loaded) hooks.lists_loaded(lists);
}

void Application::read_settings() {
  const unsigned long stop_time = read_hex_setting(settings, "SETTINGS", "Stop time min", "05");
  const unsigned long address = read_hex_setting(settings, "SETTINGS", "ccTalkAddr", "02");
  if (address > 0xFF) {
    throw ConversionError("[SETTINGS] ccTalkAddr in " + settings.path() + ": " +
                          quoted_value(settings.read_string("SETTINGS", "ccTalkAddr", "")) +
                          " is not a ccTalk address");
  }
  stop_time_min = static_cast<unsigned>(stop_time);
  if (hooks.stop_time_min_loaded) hooks.stop_time_min_loaded(stop_time_min);
  link.device_address = static_cast<std::uint8_t>(address);
  device.download_address = link.device_address;

  SerialPort& port = link.port;
  port.close();
  port.set_port_name(settings.read_string("SETTINGS", "ComPort", "COM3"));
  try {
    port.open();
  } catch (const PortError&) {
    // The search scans every port; a remembered one that is gone is no news.
  }
}

int language_of_settings(const IniFile& settings) {
  const int base = language_base_of(settings.read_string("SETTINGS", kLanguageKey, "EN"));
  return base != 0 ? base : kEnglishBase;
}

std::string language_setting_problem(const IniFile& settings) {
  const std::string value = settings.read_string("SETTINGS", kLanguageKey, "");
  if (value.empty() || language_base_of(value) != 0) return {};
  return language_text(msg::kUnknownLanguageSetting, {settings.path(), value});
}

int Application::chosen_language() const {
  return language_option != 0 ? language_option : configured_language();
}

bool Application::change_language(int base) {
  if (!set_language_base(base)) return false;
  if (hooks.load_language_texts) hooks.load_language_texts();
  if (language_base_of(settings.read_string("SETTINGS", kLanguageKey, "")) == base) return true;
  return settings.write_string("SETTINGS", kLanguageKey, language_code(base));
}

void Application::start_up() {
  set_language_base(chosen_language());
  if (language_option == 0) {
    if (const std::string problem = language_setting_problem(settings); !problem.empty()) {
      ui.information(problem);
    }
  }
  if (hooks.screen_size) {
    const auto [width, height] = hooks.screen_size();
    if (width < kRecommendedScreenWidth || height < kRecommendedScreenHeight) {
      ui.information(language_text(msg::kRecomendedScreenResolution));
    }
  }
  link.log_enabled = true;
  if (hooks.load_language_texts) hooks.load_language_texts();
  reset_device_state();
  factory_test_visible = true;

  // The lists of the settings, the settings themselves, then the lists of
  // the rules: a number in the settings that stops start-up leaves the
  // rules' lists empty.
  read_lists();
  read_settings();
  read_rule_lists();
  if (hooks.apply_first_standard_configuration) hooks.apply_first_standard_configuration();
  if (hooks.show_channel) hooks.show_channel(1);

  selector.search();

  device.pin_key = {};
  device.pin_check_bypass = false;
  open_file_filter = kOpenFileFilter;
  if (hooks.load_template) hooks.load_template(path_of(kTemplateFileName));
  // Start-up's erased channels are not the user's: only channels loaded or
  // edited from now on go out. Its standard configuration is on the page as
  // any chosen one is, and File Save and Download take it whole.
  configuration.image.note_baseline(kSectionChannels);
}

bool Application::start_up_once() {
  if (started_) return true;
  started_ = true;
  try {
    start_up();
  } catch (const ConversionError& e) {
    ui.error(e.what());
    return false;
  }
  return true;
}

bool Application::open_file() { return configuration.files.open(); }

bool Application::save_file() { return configuration.files.save().has_value(); }

bool Application::upload() { return configuration.transfer.upload(); }

bool Application::download() {
  // The section dialog can show what the chosen items would change.
  struct ChangesOffered {
    Ui& ui;
    ~ChangesOffered() { ui.section_changes = nullptr; }
  } offered{ui};
  ui.section_changes = [this](const ParameterTree& tree) {
    if (const auto differences = compare_tree_with_device(tree)) {
      ui.show_lines(language_text(msg::kShowWhatChanges), difference_lines(*differences));
    }
  };
  return configuration.transfer.download();
}

bool Application::run_test() {
  if (!identified_or_said()) return false;
  if (hooks.open_test) hooks.open_test();
  return true;
}

bool Application::identified_or_said() {
  if (selector.identify_device()) return true;
  // Silence would leave the button looking dead; a device that answered
  // and was refused has had its own message.
  if (!selector.device_answered()) ui.error(language_text(msg::kCoinSelectorNotFound));
  return false;
}

bool Application::run_factory_test() {
  if (!selector.check_access(AccessKind::Write, kAreaModes)) return false;
  if (hooks.open_production_test) hooks.open_production_test();
  return true;
}

bool Application::erase() {
  if (!identified_or_said()) return false;
  if (hooks.open_erase) hooks.open_erase();
  // The counters are read again whether or not anything was erased.
  if (hooks.refresh_statistics) hooks.refresh_statistics();
  return true;
}

void Application::upgrade_firmware() {
  if (hooks.open_firmware_download) hooks.open_firmware_download();
  selector.search();
}

bool Application::search() { return selector.search(); }

bool Application::exit() {
  if (ui.question(language_text(msg::kCloseApplication), Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  if (hooks.close_main_window) hooks.close_main_window();
  return true;
}

void Application::close_down() {
  if (hooks.close_log_file) hooks.close_log_file();
}

}  // namespace qv82
