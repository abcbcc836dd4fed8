#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "diagnostics/production_test.h"
#include "files/ini_file.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;

namespace qv82 {

class AnalogueGaugeView;
class CoinSelector;
class IniFile;

// "Factory test": the production test of one device per "Start", or of
// device after device in "Loop", against the limits in Production.ini.
class ProductionTestWindow : public QDialog {
  Q_OBJECT

 public:
  // production_ini is the path of Production.ini in the working directory;
  // the record of tested units goes to the file named in the settings, or
  // to default_record.
  ProductionTestWindow(CoinSelector& coin, const std::string& production_ini, IniFile& settings,
                       const std::string& default_record, QWidget* parent = nullptr);

  // Where the record goes next; asked when the user changes it.
  std::function<std::optional<std::string>(const std::string& current)> choose_record_file;

  void init_language();
  ProductionTest& model() { return model_; }

  QRadioButton* single_choice;  // "Single"
  QRadioButton* loop_choice;    // "Loop"
  QPushButton* start_button;    // "Start"
  QPushButton* close_button;    // "Close"
  QListWidget* messages_list;
  QFrame* status_panel;
  QLabel* status_label;
  QTimer* loop_timer;
  QLabel* unit_counts;        // passed and failed since the window opened
  QListWidget* recent_units;  // the last units of the record
  QLineEdit* record_path;
  QPushButton* change_record;
  AnalogueGaugeView* gauges;  // the last unit's analogue readings against their limits
  // The titled areas around the panel, the messages, the gauges and the units.
  QGroupBox* status_group;
  QGroupBox* messages_group;
  QGroupBox* gauges_group;
  QGroupBox* units_group;

  // The handlers behind the buttons and the timer.
  void start_single();
  void on_loop_tick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void on_mode_clicked();
  void close_window();
  void render();
  void sync_timer();
  void show_recent_units();
  void change_record_file();

  IniFile limits_file_;
  IniFile& settings_;
  ProductionRecord record_;
  ProductionTest model_;
  QLabel* record_caption_;
  bool closing_ = false;
  int units_shown_ = 0;  // passed + failed when the list was last drawn
};

}  // namespace qv82
