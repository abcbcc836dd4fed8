#include "diagnostics/analogue_gauges.h"

#include <algorithm>
#include <cstdio>

namespace qv82 {

namespace {

std::string hex(unsigned value, int digits) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

}  // namespace

std::vector<AnalogueGauge> analogue_gauges(const Bytes& readings, const ProductionLimits& limits) {
  if (readings.size() < Measurements::kSize) return {};
  const Measurements values{readings};
  struct Row {
    const char* name;
    unsigned value;
    const Range& range;
    int digits;
  };
  const Row rows[] = {
      {"TPM1C3V", values.regulator1_duty(), limits.regulator1_duty, 4},
      {"TPM1C4V", values.regulator2_duty(), limits.regulator2_duty, 4},
      {"AM1", values.am1(), limits.am1, 2},
      {"PH1", values.ph1(), limits.ph1, 2},
      {"AM2", values.am2(), limits.am2, 2},
      {"PH2", values.ph2(), limits.ph2, 2},
      {"PI3", values.pi3(), limits.pi3, 2},
      {"V", values.vcc(), limits.vcc, 2},
      {"T", values.temperature(), limits.temperature, 2},
  };
  std::vector<AnalogueGauge> gauges;
  for (const Row& row : rows) {
    AnalogueGauge gauge;
    gauge.name = row.name;
    gauge.value = row.value;
    gauge.limits = row.range;
    gauge.inside = row.range.contains(row.value);
    const double width = static_cast<double>(row.range.max) - row.range.min;
    // A single allowed value (or limits the wrong way round) has no width to measure in.
    const double position = width > 0 ? (static_cast<double>(row.value) - row.range.min) / width
                            : gauge.inside              ? 0.5
                            : row.value < row.range.min ? -kGaugeReach
                                                        : 1 + kGaugeReach;
    gauge.position = std::clamp(position, -kGaugeReach, 1 + kGaugeReach);
    gauge.label = gauge.name + " " + hex(row.value, row.digits) + " (" +
                  hex(row.range.min, row.digits) + " ... " + hex(row.range.max, row.digits) + ")";
    gauges.push_back(gauge);
  }
  return gauges;
}

}  // namespace qv82
