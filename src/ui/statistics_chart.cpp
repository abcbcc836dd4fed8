#include "ui/statistics_chart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/chart_setup.h"

namespace qv82 {

namespace {

// Room right of the longest bar for its value label.
constexpr double kHeadroom = 1.18;
constexpr int kAxisSteps = 5;

// The smallest whole step of 1, 2 or 5 times a power of ten of which at
// most kAxisSteps pass the value.
double whole_axis_step(double value) {
  const double wanted = value / kAxisSteps;
  for (double power = 1;; power *= 10) {
    for (double factor : {1.0, 2.0, 5.0}) {
      if (factor * power >= wanted) return factor * power;
    }
  }
}

}  // namespace

StatisticsChart::StatisticsChart(QWidget* parent)
    : QChartView(parent),
      series_(new QHorizontalBarSeries),
      values_(new QBarSet(QString())),
      labels_(new QBarCategoryAxis),
      counts_(new QValueAxis) {
  setObjectName("StatisticsChart");
  series_->append(values_);
  series_->setBarWidth(0.7);
  series_->setLabelsVisible(true);
  series_->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  series_->setLabelsFormat("@value");
  // Counters run to 16777215: every digit, never "1.23457e+06".
  series_->setLabelsPrecision(9);
  values_->setColor(QColor(0x3A, 0x7C, 0xB8));
  values_->setLabelColor(Qt::black);

  QChart* chart = set_up_chart(*this, {.margin = 4, .rounded = false});
  chart->addSeries(series_);
  labels_->setGridLineVisible(false);
  counts_->setLabelFormat("%i");
  counts_->setTickCount(kAxisSteps + 1);
  add_axes(*chart, {{labels_, Qt::AlignLeft}, {counts_, Qt::AlignBottom}});
  show_bars({});
}

void StatisticsChart::show_bars(const std::vector<StatisticBar>& bars) {
  // A horizontal series draws its first category at the bottom: the last row goes first so
  // that the rows read from the top as on the page.
  QStringList names;
  QList<qreal> counts;
  std::uint32_t highest = 0;
  for (auto bar = bars.rbegin(); bar != bars.rend(); ++bar) {
    names << QString::fromStdString(bar->label);
    counts << static_cast<qreal>(bar->value);
    highest = std::max(highest, bar->value);
  }
  values_->remove(0, values_->count());
  labels_->clear();
  labels_->append(names);
  values_->append(counts);
  // Whole counts on every tick, each its own, also when every counter is 0.
  const double room = highest * kHeadroom;
  const double step = whole_axis_step(room);
  const int steps =
      highest == 0 ? kAxisSteps : std::max(1, static_cast<int>(std::ceil(room / step)));
  counts_->setTickCount(steps + 1);
  counts_->setRange(0, step * steps);
}

QStringList StatisticsChart::axis_labels() const {
  QStringList labels;
  const int ticks = counts_->tickCount();
  for (int i = 0; i < ticks; ++i) {
    const double value = counts_->min() + (counts_->max() - counts_->min()) * i / (ticks - 1);
    labels << QString::asprintf(counts_->labelFormat().toLatin1().constData(),
                                static_cast<int>(value));
  }
  return labels;
}

std::vector<std::pair<QString, qreal>> StatisticsChart::drawn_bars() const {
  std::vector<std::pair<QString, qreal>> bars;
  const QStringList names = labels_->categories();
  for (int i = static_cast<int>(names.size()) - 1; i >= 0; --i) {
    bars.emplace_back(names[i], i < values_->count() ? values_->at(i) : -1.0);
  }
  if (values_->count() != names.size()) bars.emplace_back("values and labels differ", -1.0);
  return bars;
}

}  // namespace qv82
