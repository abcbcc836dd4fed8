// Injected faults as the host sees them.
#include <gtest/gtest.h>

#include <functional>

#include "link/cctalk.h"
#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

class Faults : public test::SimFixture {};

TEST_F(Faults, EachFaultSpoilsTheExchangeItIsMeantFor) {
  struct Case {
    const char* name;
    std::function<void()> inject;
    std::uint8_t result;
    bool ack;
  };
  const Case cases[] = {
      {"no echo", [&] { setup.line().set_echo(false); }, kTransactionTimeout, false},
      {"dropped byte", [&] { device().faults().drop_next_reply_byte = true; }, kTransactionTimeout,
       false},
      {"extra byte", [&] { device().faults().extra_byte_after_next_reply = true; },
       kTransactionTimeout, false},
      {"wrong checksum", [&] { device().faults().wrong_checksum_next_reply = true; },
       kTransactionChecksumError, false},
      {"NAK", [&] { device().faults().nak_next_request = true; }, kTransactionOk, false},
      {"slow", [&] { device().faults().extra_latency_us = 100'000; }, kTransactionTimeout, false},
  };
  for (const Case& c : cases) {
    c.inject();
    Bytes reply;
    EXPECT_EQ(transact({0xF6}, reply, 5), c.result) << c.name;
    EXPECT_EQ(c.result == kTransactionOk && reply_is_ack(reply), c.ack) << c.name;
    setup.line().set_echo(true);
    device().faults().extra_latency_us = 0;
    setup.advance_ms(200);
    EXPECT_EQ(ask({0xF6}, 5), text_to_bytes("Corvanti")) << "after " << c.name;
  }
}

TEST_F(Faults, SlowReplyStillFitsALargerBudget) {
  device().faults().extra_latency_us = 100'000;
  EXPECT_TRUE(acked({0xFE}, 20));
}

TEST_F(Faults, StuckOutputShowsOnInputOneWhileLatched) {
  device().faults().stuck_output = 3;
  for (int output = 1; output <= 7; ++output) {
    ASSERT_TRUE(acked({0xE9, static_cast<std::uint8_t>(1 << (output - 1))}));
    const auto inputs = ask({0xED}, 20);
    ASSERT_TRUE(inputs && inputs->size() == 2);
    EXPECT_EQ(((*inputs)[0] & 0x80) != 0, output == 3) << "output " << output;
    ASSERT_TRUE(acked({0xE9, 0x00}));
  }
  EXPECT_EQ(ask({0xED}, 20), (Bytes{0x05, 0x00}));
}

}  // namespace
}  // namespace qv82::sim
