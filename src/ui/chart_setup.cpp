#include "ui/chart_setup.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QScatterSeries>

namespace qv82 {

QChart* set_up_chart(QChartView& view, const ChartLook& look) {
  QChart* chart = view.chart();
  chart->setMargins(QMargins(look.margin, look.margin, look.margin, look.margin));
  if (look.legend) {
    chart->legend()->setAlignment(Qt::AlignBottom);
  } else {
    chart->legend()->hide();
  }
  if (!look.rounded) chart->setBackgroundRoundness(0);
  view.setRenderHint(QPainter::Antialiasing);
  return chart;
}

void add_axes(QChart& chart, std::initializer_list<ChartAxis> axes) {
  for (const ChartAxis& a : axes) chart.addAxis(a.axis, a.side);
  for (QAbstractSeries* series : chart.series()) {
    for (const ChartAxis& a : axes) {
      if (a.carries_series) series->attachAxis(a.axis);
    }
  }
}

QScatterSeries* marker_series(const QColor& colour, qreal size, int edge_darker) {
  auto* series = new QScatterSeries;
  series->setColor(colour);
  series->setBorderColor(colour.darker(edge_darker));
  series->setMarkerSize(size);
  return series;
}

void clear_categories(QCategoryAxis& axis) {
  for (const QString& label : axis.categoriesLabels()) axis.remove(label);
}

}  // namespace qv82
