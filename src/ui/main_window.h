#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "link/comm_log.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolBar;

namespace qv82 {

class Application;
class ChannelsPageWidget;
class CoinProgramming;
class CommLogPage;
class ConfigPage;
class DeviceInfoPanel;
class Erasing;
class StatisticsPageWidget;
class AddressDialog;
class SelectorTestWindow;
class ConfigurationNameDialog;
class CoinProgrammingWindow;
class FirmwareWindow;
class EraseDialog;
class ProductionTestWindow;
class PinDialog;

// The main window: the tool bar, the notebook of five pages and the bottom
// panel with the identified device. It shows what the application holds and
// hands every action to it; during a transfer the busy indication keeps the
// user from starting another.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Page indices of the notebook.
  enum Page { kConfigurationPage, kChannelsPage, kStatisticsPage, kCommLogPage, kAboutPage };

  explicit MainWindow(Application& app, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Captions from the message table.
  void init_language();
  // The start-up sequence, once; it also runs by itself the first time the
  // window is shown. False when it stopped on an error.
  bool start_up_once();

  void busy_start();
  void busy_end();
  bool busy() const { return busy_depth_ > 0; }

  Application& app;
  CommLog log;

 signals:
  // The start-up sequence has ended; started is false when it stopped on
  // an error.
  void activated(bool started);
  // File Open, File Save, Upload, Download, coin programming or a
  // statistics read has run: the pages over the configuration image are to
  // be drawn again.
  void configuration_changed();

 public:
  QToolBar* tool_bar;
  // Tool-bar buttons, named as the routing knows them.
  QAction* open_file_action;  // File Open
  QAction* save_file_action;  // File Save
  QMenu* file_menu;
  QAction* compare_action;        // File: Compare with device
  QAction* restore_action;        // File: Restore...
  QAction* upload_action;         // Upload
  QAction* download_action;       // Download
  QAction* erase_action;          // Erase
  QAction* program_coins_action;  // Coins prog.
  QAction* upgrade_action;        // Upgrade
  QAction* test_action;           // Test
  QAction* factory_test_action;   // Factory test
  QAction* search_action;         // Search
  QAction* exit_action;           // Exit

  QTabWidget* pages;
  // Holds the notebook; scrolls when the window is lower than a page.
  QScrollArea* pages_scroll;
  ConfigPage* config_page;
  // The settings panel of the configuration page.
  QWidget* settings_panel;
  QGroupBox* other_settings_box;  // " Other settings "
  QPushButton* address_button;    // "ccTalk address"
  QPushButton* pin_button;        // "PIN"
  ChannelsPageWidget* channels_page;
  StatisticsPageWidget* statistics_page;
  CommLogPage* comm_log_page;
  QLabel* about_title;     // About: title
  QLabel* about_revision;  // About: software revision
  QLabel* about_date;      // About: modification date
  QLabel* about_maker;     // About: the maker's name and address
  QLabel* language_caption;  // About: "Language:"
  QComboBox* language_box;   // About: English, Italiano, Hrvatski
  DeviceInfoPanel* device_panel;

  // The models of the coin programming and erasing windows.
  std::unique_ptr<CoinProgramming> coin_programming;
  std::unique_ptr<Erasing> erasing;

  // The windows the tool bar and the pages open, modally.
  FirmwareWindow* firmware_window;
  CoinProgrammingWindow* coin_programming_window;
  EraseDialog* erase_dialog;
  SelectorTestWindow* selector_test_window;
  ProductionTestWindow* production_test_window;
  AddressDialog* address_dialog;
  PinDialog* pin_dialog;
  ConfigurationNameDialog* configuration_name_dialog;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* add_tool_button(int caption, int icon, const char* shortcut);
  void connect_tool_bar();
  void make_pages();
  void make_windows();
  QWidget* make_about_page();
  void install_hooks();
  // "Coins prog.": the channels read, then the window.
  void program_coins();
  // Runs a user action; errors that must reach the user are shown rather
  // than thrown through the event loop.
  void guarded(const std::function<void()>& action);
  void set_pages_enabled(bool enabled);
  void update_enabled();
  void close_confirmed();
  // The language chosen on the About page: every window follows at once.
  void language_chosen(int index);
  // A tool-bar action over the configuration image, then the pages redrawn.
  void configuration_action(const std::function<void()>& action);

  int busy_depth_ = 0;
  bool pages_enabled_ = true;
  bool activated_ = false;  // start-up has been queued or run
  bool start_up_run_ = false;
  bool close_confirmed_ = false;
  bool in_close_event_ = false;
  QPointer<QWidget> focus_before_busy_;
  std::vector<std::pair<QAction*, int>> tool_captions_;
};

}  // namespace qv82
