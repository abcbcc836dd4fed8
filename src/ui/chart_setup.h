#pragma once

#include <QChartView>
#include <QColor>
#include <initializer_list>

class QCategoryAxis;
class QScatterSeries;

namespace qv82 {

// How a chart view of the windows looks around its plot.
struct ChartLook {
  int margin = 2;       // pixels around the plot
  bool legend = false;  // under the plot when shown
  bool rounded = true;  // background corners
};

// The chart the view comes with, given the look and antialiased drawing. The chart is the
// view's own: one set in its place would leave this one behind.
QChart* set_up_chart(QChartView& view, const ChartLook& look);

struct ChartAxis {
  QAbstractAxis* axis;
  Qt::Alignment side;
  bool carries_series = true;  // false: labels only, no series drawn against it
};

// Adds the axes in this order and attaches every series already on the chart to those that
// carry series.
void add_axes(QChart& chart, std::initializer_list<ChartAxis> axes);

// Markers in the colour, edged a shade darker; named later, in the current language.
QScatterSeries* marker_series(const QColor& colour, qreal size, int edge_darker);

// Takes every label off the axis, so that the next ones start from its start value.
void clear_categories(QCategoryAxis& axis);

}  // namespace qv82
