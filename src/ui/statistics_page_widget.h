#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "stats/statistics.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qv82 {

class StatisticsChart;

// The "Statistics" page of the notebook: 20 rows ("1." ... "20.", rows 1 ... 10 left and
// 11 ... 20 right), each an option drop-down under "Setting" and the counter under "Value",
// with "Export to XLS", "Read", "Write" and "Erase all", over a StatisticsPage model.
// It fills the drop-downs from the model's option names when built; after start-up has
// loaded them call reload_option_names().
class StatisticsPageWidget : public QWidget {
  Q_OBJECT

 public:
  explicit StatisticsPageWidget(StatisticsPage& model, QWidget* parent = nullptr);

  void init_language();
  // The drop-down items from model.option_names, then render().
  void reload_option_names();
  // The rows from the model.
  void render();

  std::array<QComboBox*, kStatisticRows> settings{};
  std::array<QLineEdit*, kStatisticRows> values{};
  QPushButton* export_button;     // "Export to XLS"
  QPushButton* read_button;       // "Read"
  QPushButton* write_button;      // "Write"
  QPushButton* erase_all_button;  // "Erase all"
  // The counters of the options in use, redrawn with the rows.
  StatisticsChart* chart;

 private:
  void run(const std::function<void()>& action);

  StatisticsPage& model_;
  std::array<QLabel*, 4> headings_{};
  bool rendering_ = false;
  bool in_action_ = false;
};

}  // namespace qv82
