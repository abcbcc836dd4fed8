// Injected faults as the host sees them.
#include <gtest/gtest.h>

#include <functional>

#include "link/cctalk_link.h"
#include "sim/memory.h"
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

TEST_F(Faults, NakRulesRefuseTheRequestsTheyName) {
  // Channel 1's first byte, open to writing under the factory masks.
  const Bytes write{0xFF, 0x03, 0x05, 0x70, 0xA5};
  const Bytes requests[] = {write, write, {0xFF, 0x03}, {0xFE}};  // the last but one stores
  const std::pair<std::vector<NakRule>, std::string> cases[] = {
      {{nak_store()}, "..N."},  // first, while nothing is stored yet
      {{{.prefix = {0xFF, 0x03}}}, "NNN."},
      {{{.prefix = {0xFF, 0x03}, .after = 1}}, ".NN."},
      {{nak_next_request()}, "N..."},
  };
  const Memory::Image stored = device().memory().nv();
  for (const auto& [rules, refused] : cases) {
    device().faults().nak = rules;
    std::string seen;
    for (const Bytes& request : requests) seen += acked(request) ? '.' : 'N';
    EXPECT_EQ(seen, refused) << bytes_to_hex(rules.front().prefix);
    if (rules.front().exact) {
      EXPECT_EQ(device().memory().ram()[0x0570], 0xA5) << "writes reach the working memory";
      EXPECT_EQ(device().memory().nv(), stored) << "nothing reaches the stored image";
    }
  }
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
