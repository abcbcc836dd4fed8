#include "diagnostics/analogue_gauges.h"

#include <gtest/gtest.h>

namespace qv82 {
namespace {

// Readings as the measurement reply carries them, with PH1 (byte 5) set.
Bytes readings_with_ph1(std::uint8_t ph1) {
  return {0x02, 0x00, 0x03, 0x00, 100, ph1, 110, 130, 90, 75, 25};
}

// Only the limits the labels below show.
ProductionLimits limits_with_ph1(unsigned min, unsigned max) {
  ProductionLimits limits;
  limits.regulator1_duty = {0x0180, 0x0280};
  limits.ph1 = {min, max};
  limits.temperature = {0x05, 0x3C};
  return limits;
}

TEST(AnalogueGauges, ReadingSitsBetweenItsLimitsAndOutsideShowsAtTheEdge) {
  struct Case {
    std::uint8_t value;
    unsigned min, max;
    double position;
    bool inside;
  } cases[] = {
      {0x64, 0x64, 0x8C, 0.0, true},
      {0x8C, 0x64, 0x8C, 1.0, true},
      {0x78, 0x64, 0x8C, 0.5, true},
      {0x8D, 0x64, 0x8C, 1.025, false},
      {0x63, 0x64, 0x8C, -0.025, false},
      {0xFF, 0x64, 0x8C, 1 + kGaugeReach, false},
      {0x00, 0x64, 0x8C, -kGaugeReach, false},
      {0x70, 0x70, 0x70, 0.5, true},
      {0x71, 0x70, 0x70, 1 + kGaugeReach, false},
      {0x6F, 0x70, 0x70, -kGaugeReach, false},
  };
  for (const Case& c : cases) {
    const auto gauges = analogue_gauges(readings_with_ph1(c.value), limits_with_ph1(c.min, c.max));
    ASSERT_EQ(gauges.size(), 9u);
    const AnalogueGauge& ph1 = gauges[3];
    EXPECT_EQ(ph1.name, "PH1");
    EXPECT_EQ(ph1.value, c.value);
    EXPECT_DOUBLE_EQ(ph1.position, c.position) << int{c.value};
    EXPECT_EQ(ph1.inside, c.inside) << int{c.value};
  }
}

TEST(AnalogueGauges, LabelsInTheDigitsOfProductionIniAndNothingBeforeAMeasurement) {
  const auto gauges = analogue_gauges(readings_with_ph1(0x8D), limits_with_ph1(0x64, 0x8C));
  ASSERT_EQ(gauges.size(), 9u);
  EXPECT_EQ(gauges[0].label, "TPM1C3V 0200 (0180 ... 0280)");
  EXPECT_EQ(gauges[3].label, "PH1 8D (64 ... 8C)");
  EXPECT_EQ(gauges[8].label, "T 19 (05 ... 3C)");
  EXPECT_TRUE(analogue_gauges(Bytes(10, 0), limits_with_ph1(0, 1)).empty());
}

}  // namespace
}  // namespace qv82
