#include "channels/coin_programming_calc.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <vector>

#include "channels/sample_chart.h"

namespace qv82 {
namespace {

// Samples whose first parameter takes the given values; the rest are 50.
std::vector<CoinSample> first_parameter(std::initializer_list<int> values) {
  std::vector<CoinSample> samples;
  for (int v : values) {
    CoinSample s;
    s.fill(50);
    s[0] = static_cast<std::uint8_t>(v);
    samples.push_back(s);
  }
  return samples;
}

struct Case {
  const char* name;
  std::initializer_list<int> values;
  double factor;
  int margin;  // as configured; only its low 8 bits count
  int parameter;
  int tolerance;
};

TEST(CoinProgrammingCalc, MeanAndToleranceOfOneParameter) {
  const Case cases[] = {
      {"one sample: tolerance is the margin", {77}, 1.96, 6, 77, 6},
      {"10.5 rounds to even 10", {10, 11}, 1.96, 0, 10, 1},
      {"11.5 rounds to even 12", {11, 12}, 1.96, 0, 12, 1},
      {"Middle: 3.92 -> 4", {100, 102, 104}, 1.96, 0, 102, 4},
      {"High: 5.06 -> 5", {100, 102, 104}, 2.53, 0, 102, 5},
      {"Low: 2.6 -> 3", {100, 102, 104}, 1.3, 0, 102, 3},
      {"Middle plus margin", {100, 102, 104}, 1.96, 7, 102, 11},
      {"margin -1 lowers by one", {100, 102, 104}, 1.96, -1, 102, 3},
      {"250 + 10 wraps to 4", {0, 2}, 125 * std::sqrt(2.0), 10, 1, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ToleranceMargins margins{};
    margins[0] = static_cast<std::uint8_t>(c.margin & 0xFF);
    const auto samples = first_parameter(c.values);
    const ComputedParameters out = compute_parameters(samples, c.factor, margins);
    EXPECT_EQ(out.parameters[0], c.parameter);
    EXPECT_EQ(out.tolerances[0], c.tolerance);
    // The untouched parameters: mean 50, no spread, margin 0.
    EXPECT_EQ(out.parameters[12], 50);
    EXPECT_EQ(out.tolerances[12], 0);
  }
}

TEST(CoinProgrammingCalc, RoundsHalvesToEvenWhateverTheCallersRoundingMode) {
  std::fesetround(FE_UPWARD);
  const auto out = compute_parameters(first_parameter({10, 11}), 1.96, {});
  std::fesetround(FE_TONEAREST);
  EXPECT_EQ(out.parameters[0], 10);
}

// The band edge is where the device stops accepting: |value - mean| <= tolerance. The window
// test draws whole charts from this and checks where a wrong coin's point lands.
TEST(SampleChart, PointsAreDeviationsInTolerancesAndOutsideWhereTheDeviceRejects) {
  struct Case {
    int value;
    int tolerance;
    double y;
    bool outside;
  } cases[] = {
      {104, 4, 1.0, false},
      {105, 4, 1.25, true},
      {180, 4, kSampleChartLimit, true},
      {0, 4, -kSampleChartLimit, true},
      {100, 0, 0.0, false},
      {99, 0, -kSampleChartLimit, true},
  };
  for (const Case& c : cases) {
    CoinSample sample;
    sample.fill(100);
    sample[0] = static_cast<std::uint8_t>(c.value);
    std::array<int, kChannelParameterCount> means, tolerances;
    means.fill(100);
    tolerances.fill(4);
    tolerances[0] = c.tolerance;
    const SampleChart chart = sample_chart(std::vector<CoinSample>{sample}, means, tolerances);
    ASSERT_EQ(chart.points.size(), std::size_t{kChannelParameterCount});
    EXPECT_DOUBLE_EQ(chart.points[0].y, c.y) << c.value << " tolerance " << c.tolerance;
    EXPECT_EQ(chart.points[0].outside, c.outside) << c.value << " tolerance " << c.tolerance;
    EXPECT_EQ(chart.outside_samples, c.outside ? 1u : 0u);
  }
}

}  // namespace
}  // namespace qv82
