#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "link/comm_log.h"

class QAction;
class QGroupBox;
class QLabel;
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
class TAddrFrm;
class TCheckFrm;
class TConfFrm;
class TCprgFrm;
class TDwnlFrm;
class TErFrm;
class TFtFrm;
class TPinFrm;

// The main window: the tool bar, the notebook of five pages and the bottom
// panel with the identified device. It shows what the application holds and
// hands every action to it; during a transfer the busy indication keeps the
// user from starting another.
class TMainFrm : public QMainWindow {
  Q_OBJECT

 public:
  // Page indices of the notebook.
  enum Page { kConfigurationPage, kChannelsPage, kStatisticsPage, kCommLogPage, kAboutPage };

  explicit TMainFrm(Application& app, QWidget* parent = nullptr);
  ~TMainFrm() override;

  // Captions from the message table.
  void init_language();
  // The start-up sequence, once; it also runs by itself the first time the
  // window is shown. False when it stopped on an error.
  bool FormActivate();

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
  QAction* SpeedButton3;   // File Open
  QAction* SpeedButton4;   // File Save
  QAction* SpeedButton10;  // Upload
  QAction* SpeedButton9;   // Download
  QAction* SpeedButton8;   // Erase
  QAction* SpeedButton1;   // Coins prog.
  QAction* SpeedButton2;   // Upgrade
  QAction* SpeedButton6;   // Test
  QAction* SpeedButton7;   // Factory test
  QAction* SpeedButton11;  // Search
  QAction* SpeedButton12;  // Exit

  QTabWidget* PageControl1;
  // Holds the notebook; scrolls when the window is lower than a page.
  QScrollArea* pages_scroll;
  ConfigPage* config_page;
  // The settings panel of the configuration page.
  QWidget* settings_panel;
  QGroupBox* GroupBox5;  // " Other settings "
  QPushButton* Button8;  // "ccTalk address"
  QPushButton* Button9;  // "PIN"
  ChannelsPageWidget* channels_page;
  StatisticsPageWidget* statistics_page;
  CommLogPage* comm_log_page;
  QLabel* Label67;   // About: title
  QLabel* Label68;   // About: software revision
  QLabel* Label107;  // About: modification date
  DeviceInfoPanel* device_panel;

  // The models of the coin programming and erasing windows.
  std::unique_ptr<CoinProgramming> coin_programming;
  std::unique_ptr<Erasing> erasing;

  // The windows the tool bar and the pages open, modally.
  TDwnlFrm* DwnlFrm;
  TCprgFrm* CprgFrm;
  TErFrm* ErFrm;
  TCheckFrm* CheckFrm;
  TFtFrm* FtFrm;
  TAddrFrm* AddrFrm;
  TPinFrm* PinFrm;
  TConfFrm* ConfFrm;

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
  void coin_programming_click();
  // Runs a user action; errors that must reach the user are shown rather
  // than thrown through the event loop.
  void guarded(const std::function<void()>& action);
  void set_pages_enabled(bool enabled);
  void update_enabled();
  void close_confirmed();
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
