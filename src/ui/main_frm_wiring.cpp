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
#include "channels/erasing.h"
#include "config/xml_parser.h"
#include "diagnostics/production_limits.h"
#include "ui/addr_frm.h"
#include "ui/channels_page_widget.h"
#include "ui/check_frm.h"
#include "ui/comm_log_page.h"
#include "ui/conf_frm.h"
#include "ui/config_page.h"
#include "ui/cprg_frm.h"
#include "ui/device_info_panel.h"
#include "ui/dwnl_frm.h"
#include "ui/er_frm.h"
#include "ui/ft_frm.h"
#include "ui/main_frm.h"
#include "ui/pin_frm.h"
#include "ui/stats_page.h"

namespace qv82 {

void TMainFrm::connect_tool_bar() {
  const auto route = [this](QAction* button, std::function<void()> action) {
    connect(button, &QAction::triggered, this, [this, action] { guarded(action); });
  };
  const auto route_configuration = [this](QAction* button, std::function<void()> action) {
    connect(button, &QAction::triggered, this, [this, action] { configuration_action(action); });
  };
  route_configuration(SpeedButton3, [this] { app.SpeedButton3Click(); });
  route_configuration(SpeedButton4, [this] { app.SpeedButton4Click(); });
  route_configuration(SpeedButton10, [this] { app.SpeedButton10Click(); });
  route_configuration(SpeedButton9, [this] { app.SpeedButton9Click(); });
  route(SpeedButton8, [this] { app.SpeedButton8Click(); });
  connect(SpeedButton1, &QAction::triggered, this, [this] { coin_programming_click(); });
  route(SpeedButton2, [this] { app.SpeedButton2Click(); });
  route(SpeedButton6, [this] { app.SpeedButton6Click(); });
  route(SpeedButton7, [this] { app.SpeedButton7Click(); });
  route(SpeedButton11, [this] { app.SpeedButton11Click(); });
  route(SpeedButton12, [this] { app.SpeedButton12Click(); });
}

void TMainFrm::make_pages() {
  ConfigurationWorkspace& work = app.configuration;
  config_page = new ConfigPage(work.rules);
  config_page->on_cctalk_address = [this] { guarded([this] { AddrFrm->exec(); }); };
  config_page->on_pin = [this] { guarded([this] { PinFrm->exec(); }); };
  config_page->refresh();
  settings_panel = config_page->other_group;
  GroupBox5 = config_page->other_group;
  Button8 = config_page->cctalk_address_button;
  Button9 = config_page->pin_button;

  channels_page = new ChannelsPageWidget(work.channels, work.images);
  statistics_page = new StatisticsPageWidget(work.statistics);
  comm_log_page = new CommLogPage(
      log, app.ui, [this](const std::string& text) { app.selector.terminal_send(text); });

  PageControl1 = new QTabWidget;
  PageControl1->addTab(config_page, QString());
  PageControl1->addTab(channels_page, QString());
  PageControl1->addTab(statistics_page, QString());
  PageControl1->addTab(comm_log_page, QString());
  PageControl1->addTab(make_about_page(), QString());

  connect(this, &TMainFrm::configuration_changed, config_page, &ConfigPage::refresh);
  connect(this, &TMainFrm::configuration_changed, channels_page, &ChannelsPageWidget::refresh);
  connect(this, &TMainFrm::configuration_changed, statistics_page, &StatisticsPageWidget::render);
}

void TMainFrm::make_windows() {
  coin_programming = std::make_unique<CoinProgramming>(
      app.link, app.selector, app.configuration.channels, app.settings, app.ui);
  // Each saved channel lands in the buffer the channels page shows.
  coin_programming->channels_page_changed = [this] { channels_page->refresh(); };
  erasing = std::make_unique<Erasing>(app.selector, app.configuration.channels, app.ui);

  DwnlFrm = new TDwnlFrm(app.selector, this);
  CprgFrm = new TCprgFrm(*coin_programming, this);
  ErFrm = new TErFrm(*erasing, this);
  CheckFrm = new TCheckFrm(app.selector, this);
  FtFrm = new TFtFrm(app.selector, app.path_of(kProductionFileName), app.settings,
                     app.path_of(kProductionRecordFileName), this);
  AddrFrm = new TAddrFrm(app.selector, this);
  PinFrm = new TPinFrm(app.selector, this);
  ConfFrm = new TConfFrm(
      app.ui, [this] { return app.configuration.config_page.versions.items; }, this);
  // "Set as standard configuration" names the new entry here, under the
  // rules' own check.
  config_page->name_dialog =
      [this](const std::string& caption,
             const ConfigurationRules::NameCheckFn& check) -> std::optional<std::string> {
    ConfFrm->setWindowTitle(QString::fromStdString(caption));
    ConfFrm->check = check;
    const bool accepted = ConfFrm->exec() == QDialog::Accepted;
    ConfFrm->check = nullptr;
    if (!accepted) return std::nullopt;
    return ConfFrm->name();
  };
}

void TMainFrm::coin_programming_click() {
  guarded([this] {
    if (coin_programming->SpeedButton1Click()) CprgFrm->exec();
  });
}

void TMainFrm::install_hooks() {
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

  hooks.open_test = [this] { CheckFrm->exec(); };
  hooks.open_production_test = [this] { FtFrm->exec(); };
  hooks.open_erase = [this] {
    ErFrm->exec();
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
    DwnlFrm->exec();
    return DwnlFrm->model().completed;
  };
  hooks.close_main_window = [this] { close_confirmed(); };
  hooks.close_log_file = [this] {
    log.set_log_to_file(false);
    comm_log_page->CheckBox162->setChecked(false);
  };
}

}  // namespace qv82
