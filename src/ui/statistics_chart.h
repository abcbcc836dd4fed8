#pragma once

#include <QChartView>
#include <QString>
#include <QStringList>
#include <utility>
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

  // What the series draws, read back from it: label and value of each bar, top to bottom.
  std::vector<std::pair<QString, qreal>> drawn_bars() const;
  // The count axis's tick labels, left to right, as its label format writes them.
  QStringList axis_labels() const;

 private:
  QHorizontalBarSeries* series_;
  QBarSet* values_;
  QBarCategoryAxis* labels_;
  QValueAxis* counts_;
};

}  // namespace qv82
