// Insertions: counters, events, measurements, test readings.
#include <gtest/gtest.h>

#include <cmath>

#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

class Coins : public test::SimFixture {};

TEST_F(Coins, EventsReportAcceptedAndRejectedCoinsNewestFirst) {
  EXPECT_EQ(ask({0xE5}), Bytes(11, 0)) << "nothing since the reset";
  device().insert(0);  // master inhibit still active
  enable_all_coins();
  device().insert(1);
  device().insert(8);  // a foreign coin
  ASSERT_TRUE(acked({0xE7, 0xFD, 0xFF}));
  device().insert(1);  // its channel inhibited

  EXPECT_EQ(ask({0xE5}),
            (Bytes{4, 0, kInhibitedCoin, 0, kRejectCoin, 2, 1, 0, kInhibitedCoin, 0, 0}));
  EXPECT_EQ(ask({0xE6}), (Bytes{0xFD, 0xFF}));
  ASSERT_TRUE(acked({0x01}, 20));
  EXPECT_EQ(ask({0xE5}), Bytes(11, 0));
  EXPECT_EQ(ask({0xE6}), (Bytes{0, 0}));
  EXPECT_EQ(ask({0xE2}), (Bytes{4, 0, 0})) << "insertions are counted for life";

  for (int i = 0; i < 256; ++i) device().insert(0);
  EXPECT_EQ(device().event_counter(), 1) << "the event counter skips 0 when it wraps";
}

TEST_F(Coins, LastCoinMeasurementsScatterAroundTheKind) {
  const CoinKind& kind = device().coin_kinds()[2];
  constexpr int kSamples = 400;
  std::array<double, kParameterCount> sum{}, squares{};
  for (int i = 0; i < kSamples; ++i) {
    const InsertResult inserted = device().insert(2);
    if (i == 0) {
      EXPECT_EQ(ask({0xFF, 0x05}), Bytes(inserted.measurement.begin(), inserted.measurement.end()));
    }
    for (int k = 0; k < kParameterCount; ++k) {
      sum[k] += inserted.measurement[k];
      squares[k] += inserted.measurement[k] * inserted.measurement[k];
    }
  }
  for (int k = 0; k < kParameterCount; ++k) {
    const double mean = sum[k] / kSamples;
    const double sd = std::sqrt(squares[k] / kSamples - mean * mean);
    EXPECT_NEAR(mean, kind.nominal[k], 0.5) << "parameter " << k + 1;
    EXPECT_NEAR(sd, kind.spread[k], 0.3 * kind.spread[k] + 0.3) << "parameter " << k + 1;
  }
}

TEST_F(Coins, InputsAndOutputsOfTheTestWindow) {
  device().config().inputs = {0x3F, 0x12, true, true, 0x2C};
  EXPECT_EQ(ask({0xED}, 20), (Bytes{0xBF, 0x92}));
  EXPECT_EQ(ask({0xEC}), Bytes{0x2C});
  EXPECT_TRUE(acked({0xF0, 0x04}));
  EXPECT_EQ(device().last_solenoids(), 0x04);
  EXPECT_TRUE(acked({0xEE, 0x41}));
  EXPECT_EQ(device().tested_outputs(), 0x41);
}

}  // namespace
}  // namespace qv82::sim
