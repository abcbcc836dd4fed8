#include "channels/sample_chart.h"

#include <gtest/gtest.h>

#include <vector>

namespace qv82 {
namespace {

std::array<int, kChannelParameterCount> all(int v) {
  std::array<int, kChannelParameterCount> a;
  a.fill(v);
  return a;
}

CoinSample sample_with_first(int first) {
  CoinSample s;
  s.fill(100);
  s[0] = static_cast<std::uint8_t>(first);
  return s;
}

// The band edge is where the device stops accepting: |value - mean| <= tolerance.
TEST(SampleChart, PointsAreDeviationsInTolerancesAndOutsideWhereTheDeviceRejects) {
  struct Case {
    int value;
    int tolerance;
    double y;
    bool outside;
  } cases[] = {
      {100, 4, 0.0, false},
      {104, 4, 1.0, false},
      {96, 4, -1.0, false},
      {105, 4, 1.25, true},
      {95, 4, -1.25, true},
      {180, 4, kSampleChartLimit, true},
      {0, 4, -kSampleChartLimit, true},
      {100, 0, 0.0, false},
      {101, 0, kSampleChartLimit, true},
      {99, 0, -kSampleChartLimit, true},
  };
  for (const Case& c : cases) {
    const std::vector<CoinSample> samples = {sample_with_first(c.value)};
    auto tolerances = all(4);
    tolerances[0] = c.tolerance;
    const SampleChart chart = sample_chart(samples, all(100), tolerances);
    ASSERT_EQ(chart.points.size(), std::size_t{kChannelParameterCount});
    const SampleChartPoint& p = chart.points[0];
    EXPECT_EQ(p.parameter, 1);
    EXPECT_DOUBLE_EQ(p.x, 1.0) << c.value;  // a single sample sits on its column
    EXPECT_DOUBLE_EQ(p.y, c.y) << c.value << " tolerance " << c.tolerance;
    EXPECT_EQ(p.outside, c.outside) << c.value << " tolerance " << c.tolerance;
    EXPECT_EQ(chart.outside_samples, c.outside ? 1u : 0u);
  }
}

TEST(SampleChart, SamplesSpreadAcrossTheirColumnInListOrderAndLabelsNameTheBand) {
  const std::vector<CoinSample> samples = {sample_with_first(100), sample_with_first(100),
                                           sample_with_first(100)};
  auto means = all(100);
  means[12] = 7;
  auto tolerances = all(4);
  tolerances[12] = 12;
  const SampleChart chart = sample_chart(samples, means, tolerances);
  ASSERT_EQ(chart.points.size(), 3u * kChannelParameterCount);
  const SampleChartPoint& first = chart.points[12];
  const SampleChartPoint& last = chart.points[2 * kChannelParameterCount + 12];
  EXPECT_EQ(first.sample, 0u);
  EXPECT_EQ(last.sample, 2u);
  EXPECT_DOUBLE_EQ(first.x, 13 - kSampleChartSpread);
  EXPECT_DOUBLE_EQ(chart.points[kChannelParameterCount + 12].x, 13.0);
  EXPECT_DOUBLE_EQ(last.x, 13 + kSampleChartSpread);
  EXPECT_EQ(chart.labels[0], "1\n100\n\u00b14");
  EXPECT_EQ(chart.labels[12], "13\n7\n\u00b112");
  EXPECT_TRUE(sample_chart({}, means, tolerances).points.empty());
}

}  // namespace
}  // namespace qv82
