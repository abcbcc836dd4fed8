#pragma once

#include <QChartView>

#include "channels/sample_chart.h"

class QAreaSeries;
class QCategoryAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace qv82 {

// The coin programming samples drawn against the channel's band (channels/sample_chart.h): each
// parameter a column, the band -1 ... +1 shaded, the mean the line through 0, the samples as
// points, red where the device would reject them.
class SampleChartView : public QChartView {
  Q_OBJECT

 public:
  explicit SampleChartView(QWidget* parent = nullptr);

  // Legend and axis texts in the current language.
  void init_language();
  void show_chart(const SampleChart& chart);

  QScatterSeries* inside_points;
  QScatterSeries* outside_points;
  QLineSeries* mean_line;
  QLineSeries* band_upper;
  QLineSeries* band_lower;
  QAreaSeries* band;
  QCategoryAxis* parameter_axis;
  QValueAxis* deviation_axis;
};

}  // namespace qv82
