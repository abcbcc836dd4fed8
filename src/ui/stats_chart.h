#pragma once

#include <QChartView>
#include <vector>

#include "stats/statistic_bars.h"

class QBarCategoryAxis;
class QBarSet;
class QHorizontalBarSeries;
class QValueAxis;

namespace qv82 {

// The counters of the statistic options in use as horizontal bars, one per row, labelled
// with the option names, the first row at the top.
class StatisticsChart : public QChartView {
  Q_OBJECT

 public:
  explicit StatisticsChart(QWidget* parent = nullptr);

  void show_bars(const std::vector<StatisticBar>& bars);

  // What is drawn, for the tests: one value and one category per bar.
  QBarSet& bar_values() const { return *values_; }
  QBarCategoryAxis& bar_labels() const { return *labels_; }

 private:
  QHorizontalBarSeries* series_;
  QBarSet* values_;
  QBarCategoryAxis* labels_;
  QValueAxis* counts_;
};

}  // namespace qv82
