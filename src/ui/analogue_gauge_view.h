#pragma once

#include <QChartView>
#include <vector>

#include "diagnostics/analogue_gauges.h"

class QCategoryAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace qv82 {

// The analogue readings of the factory test as horizontal gauges, one row per value: the
// allowed range from min to max as a bar, the reading as a point on it, green inside and red
// outside.
class AnalogueGaugeView : public QChartView {
  Q_OBJECT

 public:
  explicit AnalogueGaugeView(QWidget* parent = nullptr);

  // No gauges: the test has not measured (yet).
  // Legend and axis texts in the current language.
  void init_language();
  void show_gauges(const std::vector<AnalogueGauge>& gauges);

  QScatterSeries* inside_readings;
  QScatterSeries* outside_readings;
  std::vector<QLineSeries*> limit_bars;  // one per row, bottom row first
  QCategoryAxis* row_axis;
  QCategoryAxis* limit_axis;
  QValueAxis* position_axis;
};

}  // namespace qv82
