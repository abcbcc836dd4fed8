#include "ui/analogue_gauge_view.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include "lang/messages.h"
#include "ui/captions.h"

namespace qv82 {

namespace {

constexpr int kRows = 9;

QScatterSeries* readings(const QString& name, const QColor& colour) {
  auto* series = new QScatterSeries;
  series->setName(name);
  series->setColor(colour);
  series->setBorderColor(colour.darker(150));
  series->setMarkerSize(12);
  return series;
}

}  // namespace

AnalogueGaugeView::AnalogueGaugeView(QWidget* parent)
    : QChartView(parent),
      inside_readings(readings(QString(), QColor(0, 170, 0))),
      outside_readings(readings(QString(), Qt::red)),
      row_axis(new QCategoryAxis),
      limit_axis(new QCategoryAxis),
      position_axis(new QValueAxis) {
  // The view comes with a chart of its own; one set in its place would leave this one behind.
  QChart* chart = QChartView::chart();
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->legend()->hide();
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
  chart->addAxis(limit_axis, Qt::AlignBottom);
  chart->addAxis(position_axis, Qt::AlignBottom);
  chart->addAxis(row_axis, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(position_axis);
    series->attachAxis(row_axis);
  }
  setRenderHint(QPainter::Antialiasing);
  setMinimumHeight(240);
  show_gauges({});
  init_language();
}

void AnalogueGaugeView::init_language() {
  inside_readings->setName(message_text(msg::kWithinLimits));
  outside_readings->setName(message_text(msg::kOutsideLimits));
  for (const QString& label : limit_axis->categoriesLabels()) limit_axis->remove(label);
  limit_axis->append(message_text(msg::kMinimumShort), 0);
  limit_axis->append(message_text(msg::kMaximumShort), 1);
}

void AnalogueGaugeView::show_gauges(const std::vector<AnalogueGauge>& gauges) {
  QList<QPointF> inside;
  QList<QPointF> outside;
  for (const QString& label : row_axis->categoriesLabels()) row_axis->remove(label);
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
