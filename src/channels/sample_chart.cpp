#include "channels/sample_chart.h"

#include <algorithm>
#include <cstdlib>

namespace qv82 {

SampleChart sample_chart(std::span<const CoinSample> samples,
                         const std::array<int, kChannelParameterCount>& means,
                         const std::array<int, kChannelParameterCount>& tolerances) {
  SampleChart chart;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    chart.labels[k] = std::to_string(k + 1) + "\n" + std::to_string(means[k]) + "\n\u00b1" +
                      std::to_string(tolerances[k]);
  }
  const std::size_t n = samples.size();
  chart.points.reserve(n * kChannelParameterCount);
  for (std::size_t i = 0; i < n; ++i) {
    // Oldest on the left, newest on the right of each parameter's column.
    const double shift =
        n < 2 ? 0.0 : kSampleChartSpread * (2.0 * static_cast<double>(i) / (n - 1) - 1.0);
    bool any_outside = false;
    for (int k = 0; k < kChannelParameterCount; ++k) {
      const int deviation = samples[i][k] - means[k];
      const int tolerance = tolerances[k];
      // A zero tolerance accepts the mean only; anything else sits beyond the edge.
      double y = tolerance > 0    ? static_cast<double>(deviation) / tolerance
                 : deviation == 0 ? 0.0
                                  : (deviation > 0 ? kSampleChartLimit : -kSampleChartLimit);
      y = std::clamp(y, -kSampleChartLimit, kSampleChartLimit);
      const bool outside = std::abs(deviation) > tolerance;
      any_outside = any_outside || outside;
      chart.points.push_back({i, k + 1, k + 1 + shift, y, outside});
    }
    if (any_outside) ++chart.outside_samples;
  }
  return chart;
}

}  // namespace qv82
