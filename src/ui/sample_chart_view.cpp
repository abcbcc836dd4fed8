#include "ui/sample_chart_view.h"

#include <QAreaSeries>
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

constexpr double kLeft = 0.5;
constexpr double kRight = kChannelParameterCount + 0.5;

}  // namespace

SampleChartView::SampleChartView(QWidget* parent)
    : QChartView(parent),
      inside_points(marker_series(QColor(30, 90, 200), 6, 130)),
      outside_points(marker_series(Qt::red, 9, 130)),
      mean_line(new QLineSeries),
      // An area series does not own its edges: the view does.
      band_upper(new QLineSeries(this)),
      band_lower(new QLineSeries(this)),
      band(new QAreaSeries(band_upper, band_lower)),
      parameter_axis(new QCategoryAxis),
      deviation_axis(new QValueAxis) {
  QChart* chart = set_up_chart(*this, {.margin = 2, .legend = true});
  band_upper->append({{kLeft, 1}, {kRight, 1}});
  band_lower->append({{kLeft, -1}, {kRight, -1}});
  band->setColor(QColor(200, 235, 200));
  band->setBorderColor(QColor(120, 180, 120));
  mean_line->append({{kLeft, 0}, {kRight, 0}});
  mean_line->setPen(QPen(QColor(40, 120, 40), 1.5, Qt::DashLine));
  for (QAbstractSeries* series :
       std::initializer_list<QAbstractSeries*>{band, mean_line, inside_points, outside_points}) {
    chart->addSeries(series);
  }

  parameter_axis->setRange(kLeft, kRight);
  parameter_axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
  parameter_axis->setStartValue(kLeft);
  QFont small = parameter_axis->labelsFont();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  parameter_axis->setLabelsFont(small);
  deviation_axis->setRange(-kSampleChartLimit, kSampleChartLimit);
  deviation_axis->setTickCount(7);
  deviation_axis->setLabelFormat("%+.0f");
  deviation_axis->setLabelsFont(small);
  deviation_axis->setTitleFont(small);
  add_axes(*chart, {{parameter_axis, Qt::AlignBottom}, {deviation_axis, Qt::AlignLeft}});
  // Narrow enough that the window, list beside it, fits a 1024 px screen.
  setMinimumSize(560, 300);
  show_chart(sample_chart({}, {}, {}));
  init_language();
}

void SampleChartView::init_language() {
  inside_points->setName(message_text(msg::kSampleSeries));
  outside_points->setName(message_text(msg::kOutsideTheBand));
  band->setName(message_text(msg::kMeanTolerance));
  mean_line->setName(message_text(msg::kMean));
  deviation_axis->setTitleText(message_text(msg::kDeviationAxis));
}

void SampleChartView::show_chart(const SampleChart& data) {
  QList<QPointF> inside;
  QList<QPointF> outside;
  for (const SampleChartPoint& p : data.points) (p.outside ? outside : inside).append({p.x, p.y});
  inside_points->replace(inside);
  outside_points->replace(outside);
  clear_categories(*parameter_axis);
  for (int k = 0; k < kChannelParameterCount; ++k) {
    // Axis labels are rich text: the line break of the label is a <br>.
    parameter_axis->append(QString::fromStdString(data.labels[k]).replace('\n', "<br>"), k + 1.5);
  }
}

}  // namespace qv82
