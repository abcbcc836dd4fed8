#pragma once

#include <string>
#include <vector>

#include "diagnostics/production_limits.h"
#include "link/bytes.h"

namespace qv82 {

// One analogue reading of the factory test against its Production.ini limits, for a gauge that
// shows how close to an edge the unit is, not only whether it passed.
struct AnalogueGauge {
  std::string name;  // the key of Production.ini without _MIN/_MAX
  unsigned value = 0;
  Range limits;
  bool inside = false;
  // Where the reading sits: 0 at the minimum, 1 at the maximum; a reading further out than
  // kGaugeReach beyond either is drawn at that distance.
  double position = 0;
  // "PH1 78 (64 ... 8C)": hexadecimal, as Production.ini and the error messages write them.
  std::string label;
};

inline constexpr double kGaugeReach = 0.5;

// The nine readings of the measurement reply in reply order; none when the reply is short (the
// test stopped before it measured).
std::vector<AnalogueGauge> analogue_gauges(const Bytes& readings, const ProductionLimits& limits);

}  // namespace qv82
