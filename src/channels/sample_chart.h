#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "channels/channel_record.h"
#include "channels/coin_programming_calc.h"

namespace qv82 {

// The samples of the coin programming window drawn against the channel they give. The 13
// parameters have scales of their own, so each sample value is shown as its distance from the
// parameter's mean in units of its tolerance: the accepted band is -1 ... +1 for every parameter
// and the eye compares them at once. Labels carry the absolute mean and tolerance.
inline constexpr double kSampleChartLimit = 3.0;   // deviations beyond are drawn at the edge
inline constexpr double kSampleChartSpread = 0.3;  // samples side by side around x = parameter

struct SampleChartPoint {
  std::size_t sample = 0;  // line of the sample list, 0-based
  int parameter = 0;       // 1 ... 13
  double x = 0;            // parameter, moved sideways by the sample's place in the list
  double y = 0;            // (value - mean) / tolerance, within +-kSampleChartLimit
  bool outside = false;    // the value falls outside mean +- tolerance: the device rejects it
};

struct SampleChart {
  std::vector<SampleChartPoint> points;  // sample by sample, parameter by parameter
  // Axis labels "1\n120\n±6": parameter, mean and tolerance of the channel, a line each so that
  // three-digit means fit the width of a parameter's column.
  std::array<std::string, kChannelParameterCount> labels;
  std::size_t outside_samples = 0;  // samples with at least one value outside
};

// The chart of the samples against the means and tolerances of the view (what a save writes).
SampleChart sample_chart(std::span<const CoinSample> samples,
                         const std::array<int, kChannelParameterCount>& means,
                         const std::array<int, kChannelParameterCount>& tolerances);

}  // namespace qv82
