// The main window's pages, the windows it opens and how the tool bar and
// start-up reach them.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>

#include "app/application.h"
#include "channels/coin_programming.h"
#include "config/xml_reader.h"
#include "diagnostics/production_limits.h"
#include "lang/language.h"
#include "stats/erasing.h"
#include "ui/address_dialog.h"
#include "ui/channels_page_widget.h"
#include "ui/coin_programming_window.h"
#include "ui/comm_log_page.h"
#include "ui/config_page.h"
#include "ui/configuration_name_dialog.h"
#include "ui/device_info_panel.h"
#include "ui/dialog_title.h"
#include "ui/erase_dialog.h"
#include "ui/firmware_window.h"
#include "ui/main_window.h"
#include "ui/pin_dialog.h"
#include "ui/production_test_window.h"
#include "ui/selector_test_window.h"
#include "ui/statistics_page_widget.h"

namespace qv82 {

void MainWindow::connect_tool_bar() {
  // A shortcut still fires while the bars are disabled: nothing starts
  // inside a running transfer.
  const auto route = [this](QAction* button, std::function<void()> action) {
    connect(button, &QAction::triggered, this, [this, action] {
      if (!busy()) guarded(action);
    });
  };
  const auto route_configuration = [this](QAction* button, std::function<void()> action) {
    connect(button, &QAction::triggered, this, [this, action] {
      if (!busy()) configuration_action(action);
    });
  };
  route_configuration(open_file_action, [this] { app.open_file(); });
  route_configuration(save_file_action, [this] { app.save_file(); });
  route_configuration(upload_action, [this] { app.upload(); });
  route_configuration(download_action, [this] { app.download(); });
  route(compare_action, [this] { app.compare_file_with_device(); });
  route_configuration(restore_action, [this] { app.restore_backup(); });
  route(erase_action, [this] { app.erase(); });
  connect(program_coins_action, &QAction::triggered, this, [this] { program_coins(); });
  route(upgrade_action, [this] { app.upgrade_firmware(); });
  route(test_action, [this] { app.run_test(); });
  route(factory_test_action, [this] { app.run_factory_test(); });
  route(search_action, [this] { app.search(); });
  route(exit_action, [this] { app.exit(); });
}

void MainWindow::make_pages() {
  ConfigurationWorkspace& work = app.configuration;
  config_page = new ConfigPage(work.rules);
  config_page->on_cctalk_address = [this] { guarded([this] { address_dialog->exec(); }); };
  config_page->on_pin = [this] { guarded([this] { pin_dialog->exec(); }); };
  config_page->refresh();
  settings_panel = config_page->other_group;
  other_settings_box = config_page->other_group;
  address_button = config_page->cctalk_address_button;
  pin_button = config_page->pin_button;

  channels_page = new ChannelsPageWidget(work.channels, work.images);
  statistics_page = new StatisticsPageWidget(work.statistics);
  comm_log_page = new CommLogPage(
      log, app.ui, [this](const std::string& text) { app.selector.terminal_send(text); });

  pages = new QTabWidget;
  pages->addTab(config_page, QString());
  pages->addTab(channels_page, QString());
  pages->addTab(statistics_page, QString());
  pages->addTab(comm_log_page, QString());
  pages->addTab(make_about_page(), QString());

  connect(this, &MainWindow::configuration_changed, config_page, &ConfigPage::refresh);
  connect(this, &MainWindow::configuration_changed, channels_page, &ChannelsPageWidget::refresh);
  connect(this, &MainWindow::configuration_changed, statistics_page, &StatisticsPageWidget::render);
  work.transfer.pages_changed = [this] { emit configuration_changed(); };
}

void MainWindow::make_windows() {
  coin_programming = std::make_unique<CoinProgramming>(
      app.link, app.selector, app.configuration.channels, app.settings, app.ui);
  // Each saved channel lands in the buffer the channels page shows.
  coin_programming->channels_page_changed = [this] { channels_page->refresh(); };
  erasing = std::make_unique<Erasing>(app.selector, app.configuration.channels, app.ui);

  firmware_window = new FirmwareWindow(app.selector, this);
  coin_programming_window = new CoinProgrammingWindow(*coin_programming, this);
  erase_dialog = new EraseDialog(*erasing, this);
  erase_dialog->statistic_name = [this](int counter) {
    return app.configuration.statistics.option_name(counter);
  };
  selector_test_window = new SelectorTestWindow(app.selector, this);
  production_test_window =
      new ProductionTestWindow(app.selector, app.path_of(kProductionFileName), app.settings,
                               app.path_of(kProductionRecordFileName), this);
  address_dialog = new AddressDialog(app.selector, this);
  pin_dialog = new PinDialog(app.selector, this);
  configuration_name_dialog = new ConfigurationNameDialog(
      app.ui, [this] { return app.configuration.config_page.versions.items; }, this);
  // "Set as standard configuration" names the new entry here, under the
  // rules' own check.
  config_page->name_dialog =
      [this](const std::string& caption,
             const ConfigurationRules::NameCheckFn& check) -> std::optional<std::string> {
    configuration_name_dialog->setWindowTitle(QString::fromStdString(caption));
    keep_title_in_view(*configuration_name_dialog);
    configuration_name_dialog->check = check;
    const bool accepted = configuration_name_dialog->exec() == QDialog::Accepted;
    configuration_name_dialog->check = nullptr;
    if (!accepted) return std::nullopt;
    return configuration_name_dialog->name();
  };
}

void MainWindow::program_coins() {
  guarded([this] {
    if (coin_programming->prepare()) coin_programming_window->exec();
  });
}

void MainWindow::install_hooks() {
  app.link.busy_start = [this] { busy_start(); };
  app.link.busy_end = [this] { busy_end(); };
  app.link.add_log_line = [this](const std::string& line) { log.add_log_line(line); };
  // A port that fails while nothing talks to the device (the adapter pulled
  // from an idle bench) is told at once, unless a transfer that starts
  // meanwhile has thrown it already.
  app.link.port_failed = [this] {
    QTimer::singleShot(0, this, [this] { guarded([this] { app.link.check_port(); }); });
  };
  app.selector.set_pages_enabled = [this](bool enabled) { set_pages_enabled(enabled); };
  app.selector.device_info_changed = [this] { device_panel->show_info(app.device.info); };

  ApplicationHooks& hooks = app.hooks;
  hooks.load_language_texts = [this] { init_language(); };
  hooks.screen_size = [this] {
    const QScreen* shown_on = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize size = shown_on ? shown_on->size() : QSize(1024, 768);
    return std::pair<int, int>(size.width(), size.height());
  };
  hooks.lists_loaded = [this](const SelectionLists&) {
    app.configuration.statistics.load_option_names();
    statistics_page->reload_option_names();
  };
  // The rules read their lists and the stop-time limit themselves, after the
  // settings have been checked, and apply the first standard configuration.
  hooks.apply_first_standard_configuration = [this] {
    app.configuration.rules.activate(app.workdir);
    config_page->refresh();
  };
  hooks.show_channel = [this](int n) {
    ChannelsPage& channels = app.configuration.channels;
    channels.channel_number = n;
    channels.shown_channel = n;
    channels.show_channel(n);
    channels_page->refresh();
  };
  hooks.load_template = [this](const std::string& path) {
    // Like the other data files, a missing template does not stop start-up;
    // the operations that need it say so. A damaged one is worth a word.
    if (!std::filesystem::exists(path)) return;
    try {
      app.configuration.tree.load_file(path);
    } catch (const XmlError& e) {
      app.ui.error(e.what());
    }
  };

  hooks.open_test = [this] { selector_test_window->exec(); };
  hooks.open_production_test = [this] { production_test_window->exec(); };
  hooks.open_erase = [this] {
    erase_dialog->exec();
    // An erased channel on display would otherwise be written back, old
    // values and all, when the user moves to another channel.
    ChannelsPage& channels = app.configuration.channels;
    const std::size_t shown = static_cast<std::size_t>(channels.shown_channel - 1);
    if (erasing->channels.at(shown) &&
        channels.channel_buffer.at(shown) == erased_channel_record()) {
      channels.show_channel(channels.shown_channel);
    }
  };
  hooks.refresh_statistics = [this] {
    app.configuration.statistics.read();
    emit configuration_changed();
  };
  hooks.open_firmware_download = [this] {
    firmware_window->exec();
    return firmware_window->model().completed;
  };
  hooks.close_main_window = [this] { close_confirmed(); };
  hooks.backup_written = [this](const std::string& path) {
    log.add_log_line(language_text(msg::kBackupPrefix) + path);
  };
  hooks.close_log_file = [this] {
    log.set_log_to_file(false);
    comm_log_page->log_to_file_box->setChecked(false);
  };
}

}  // namespace qv82
