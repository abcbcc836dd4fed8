// Injected faults as the host sees them.
#include <gtest/gtest.h>

#include <functional>

#include "link/cctalk_link.h"
#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

class Faults : public test::SimFixture {};

// Each fault spoils the next exchange only; a slow reply still fits a larger budget.
TEST_F(Faults, EachFaultSpoilsTheExchangeItIsMeantFor) {
  struct Case {
    const char* name;
    std::function<void()> inject;
    std::uint8_t result;
    int polls = 5;
  };
  const Case cases[] = {
      {"no echo", [&] { setup.line().set_echo(false); }, kTransactionTimeout},
      {"wrong checksum", [&] { device().faults().wrong_checksum_next_reply = true; },
       kTransactionChecksumError},
      {"NAK", [&] { device().faults().nak.push_back(nak_next_request()); }, kTransactionOk},
      {"slow", [&] { device().faults().extra_latency_us = 100'000; }, kTransactionTimeout},
      {"slow, larger budget", [&] { device().faults().extra_latency_us = 100'000; }, kTransactionOk,
       20},
  };
  for (const Case& c : cases) {
    c.inject();
    Bytes reply;
    EXPECT_EQ(transact({0xF6}, reply, c.polls), c.result) << c.name;
    // Only the slow reply given time to arrive is an ACK; a NAK is not.
    EXPECT_EQ(c.result == kTransactionOk && reply_is_ack(reply), c.polls > 5) << c.name;
    setup.line().set_echo(true);
    device().faults().extra_latency_us = 0;
    setup.advance_ms(200);
    EXPECT_EQ(ask({0xF6}, 5), text_to_bytes("Corvanti")) << "after " << c.name;
  }
}

}  // namespace
}  // namespace qv82::sim
