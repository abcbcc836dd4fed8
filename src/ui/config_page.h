#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rules/configuration_rules.h"
#include "ui/captions.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace qv82 {

class FunctionList;
class OpeningComboBox;

// Page 0 of the main window's notebook: the configuration page. It draws the
// page model that the configuration rules keep, hands every user action to
// one rule, and draws the model again. Nothing here decides anything.
//
//   ConfigPage page(rules);          // rules: ConfigurationRules over the model
//   page.on_cctalk_address = ...;     // "Other settings" buttons; the group is
//   page.on_pin = ...;                //   hidden while neither is set
//   page.refresh();                   // after anything outside changed the model
class ConfigPage : public QWidget {
  Q_OBJECT

 public:
  explicit ConfigPage(ConfigurationRules& rules, QWidget* parent = nullptr);

  // Draws the whole model.
  void refresh();
  // Every caption again in the current language; what the page holds and
  // whether it is saved stay as they are.
  void init_language();

  // Buttons of "Other settings".
  std::function<void()> on_cctalk_address;
  std::function<void()> on_pin;
  // The "New configuration" dialog; a dialog of this page when unset.
  ConfigurationRules::NameDialog name_dialog;

  ConfigurationRules& rules;

  // One row of " I/O configuration ".
  struct RowWidgets {
    QLabel* caption;
    FunctionList* function;
    QLabel* note;
    QSpinBox* time_on;
    QComboBox* warning;
    QLabel* time_on_unit;
    QSpinBox* time_off;
    QSpinBox* value;
    QLabel* time_off_unit;
    QToolButton* level;
    QToolButton* direction;
    std::array<QCheckBox*, 16> channels;  // channels[i] is channel i + 1
    QWidget* channels_high;
    QWidget* channels_low;
    QLabel* impulses_caption;
    QSpinBox* impulses;
  };
  struct ParameterWidgets {
    QLabel* caption;
    QSpinBox* box;
    QLabel* unit;
  };

  // The controls, for the main window and the tests.
  QGroupBox* versions_group;
  OpeningComboBox* versions;
  QPushButton* store_button;
  QGroupBox* io_group;
  QCheckBox* edit;
  std::array<RowWidgets, kIoRecordCount> rows{};
  QLabel* heading_time_on;
  QLabel* heading_time_off;
  QLabel* heading_value;
  QLabel* heading_channels;
  QLabel* heading_directions;
  std::vector<QLabel*> channel_numbers;  // "16", "12", "8", "4", "1"
  QGroupBox* common_group;
  QGroupBox* common_group2;
  std::array<ParameterWidgets, kCommonParameterCount> parameters{};  // null for 11, 14, 15, 16, 18
  QComboBox* multiplier_unit;                                        // "m" / "s"
  QGroupBox* display_group;
  QLabel* display_type_caption;
  QComboBox* display_type;
  QLabel* display_show_caption;
  QComboBox* display_show;
  QLabel* display_multiplier_caption;
  QComboBox* display_multiplier;
  QLabel* display_decimals_caption;
  QSpinBox* display_decimals;
  QGroupBox* dip_group;
  QComboBox* dip_mode;
  QGroupBox* stop_group;
  QLabel* stop_text;
  QGroupBox* autoprog_group;
  QLabel* autoprog_text;
  QGroupBox* fraud_group;
  QGroupBox* separator_group;
  QComboBox* separators;
  QPushButton* accept_separator;
  QGroupBox* other_group;
  QPushButton* cctalk_address_button;
  QPushButton* pin_button;

 signals:
  // A user action changed the configuration.
  void edited();

 private:
  QWidget* make_top_row();
  QWidget* make_io_group();
  QWidget* make_bottom_row();
  void make_row(int position, QGridLayout* grid, int line);
  void make_parameter(std::size_t k, QGridLayout* grid, int line, int column);
  void connect_row(int position);
  void connect_parameter(std::size_t k);
  // Runs a rule for a user action, then draws the model.
  void act(const std::function<void()>& rule);
  void render_row(int position);
  void render_parameters();
  void place_common_parameters();
  void render_lists();
  std::optional<std::string> ask_name(const std::string& caption,
                                      const ConfigurationRules::NameCheckFn& check);

  bool rendering_ = false;
  Captions captions_;
};

}  // namespace qv82
