// Insertions as the event buffer and the counters report them.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qv82::sim
