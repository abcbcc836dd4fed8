#include "ui/analogue_gauge_view.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include "lang/messages.h"
#include "ui/captions.h"
#include "ui/chart_setup.h"

namespace qv82 {

namespace {

constexpr int kRows = 9;

}  // namespace

AnalogueGaugeView::AnalogueGaugeView(QWidget* parent)
    : QChartView(parent),
      inside_readings(marker_series(QColor(0, 170, 0), 12, 150)),
      outside_readings(marker_series(Qt::red, 12, 150)),
      row_axis(new QCategoryAxis),
      limit_axis(new QCategoryAxis),
      position_axis(new QValueAxis) {
  QChart* chart = set_up_chart(*this, {.margin = 2});
  const QPen bar_pen(QColor(170, 200, 230), 9, Qt::SolidLine, Qt::FlatCap);
  for (int row = 0; row < kRows; ++row) {
    auto* bar = new QLineSeries;
    bar->setPen(bar_pen);
    chart->addSeries(bar);
    limit_bars.push_back(bar);
  }
  chart->addSeries(inside_readings);
  chart->addSeries(outside_readings);

  // The x axis is in units of the allowed range: 0 at min, 1 at max.
  position_axis->setRange(-kGaugeReach, 1 + kGaugeReach);
  position_axis->setVisible(false);
  limit_axis->setRange(-kGaugeReach, 1 + kGaugeReach);
  limit_axis->setStartValue(-kGaugeReach);
  limit_axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  limit_axis->setGridLineColor(QColor(120, 120, 120));
  row_axis->setRange(-0.5, kRows - 0.5);
  row_axis->setStartValue(-0.5);
  row_axis->setGridLineVisible(false);
  row_axis->setTruncateLabels(false);  // the labels are the numbers an operator reads
  // The limit labels stand on an axis of their own: the readings go against the position axis.
  add_axes(*chart, {{limit_axis, Qt::AlignBottom, false},
                    {position_axis, Qt::AlignBottom},
                    {row_axis, Qt::AlignLeft}});
  setMinimumHeight(240);
  show_gauges({});
  init_language();
}

void AnalogueGaugeView::init_language() {
  inside_readings->setName(message_text(msg::kWithinLimits));
  outside_readings->setName(message_text(msg::kOutsideLimits));
  clear_categories(*limit_axis);
  limit_axis->append(message_text(msg::kMinimumShort), 0);
  limit_axis->append(message_text(msg::kMaximumShort), 1);
}

void AnalogueGaugeView::show_gauges(const std::vector<AnalogueGauge>& gauges) {
  QList<QPointF> inside;
  QList<QPointF> outside;
  clear_categories(*row_axis);
  for (int row = 0; row < kRows; ++row) {
    limit_bars[row]->clear();
    // The first value on top, as the readings come in the reply.
    const std::size_t i = static_cast<std::size_t>(kRows - 1 - row);
    if (i >= gauges.size()) {
      row_axis->append(QString(row + 1, ' '), row + 0.5);  // labels must differ
      continue;
    }
    const AnalogueGauge& gauge = gauges[i];
    limit_bars[row]->append({{0, double(row)}, {1, double(row)}});
    (gauge.inside ? inside : outside).append({gauge.position, double(row)});
    row_axis->append(QString::fromStdString(gauge.label), row + 0.5);
  }
  inside_readings->replace(inside);
  outside_readings->replace(outside);
}

}  // namespace qv82
