// The simulated line: wire timing, echo, ports and rates.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "link/cctalk_link.h"
#include "sim/simulated_setup.h"
#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

const Bytes kPollFrame = build_frame(2, {0xFE});

TEST(SimulatedLine, EchoAndReplyArriveAtWireTime) {
  SimulatedSetup setup;
  SimulatedLine& line = setup.line();
  line.write(kPollFrame);
  // 9600 baud: 1042 us a byte; the reply starts 2 ms after the request.
  struct Step {
    std::uint64_t at_us;
    std::size_t bytes;
  };
  for (const Step& step : {Step{1041, 0}, Step{1042, 1}, Step{5210, 5}, Step{8251, 5},
                           Step{8252, 6}, Step{12420, 10}}) {
    setup.scheduler().run_until_us(step.at_us);
    EXPECT_EQ(line.pending(), step.bytes) << "at " << step.at_us << " us";
  }
  EXPECT_EQ(line.read(10), (Bytes{0x02, 0x00, 0x01, 0xFE, 0xFF, 0x01, 0x00, 0x02, 0x00, 0xFD}));
}

class LineRates : public test::SimFixture {};

// A request at another rate, or broken off without a pause long enough to
// drop it, spoils the next one.
TEST_F(LineRates, OnlyWholeRequestsAtTheDevicesRateAreAnswered) {
  for (int rate : {4800, 19200}) {
    link.set_baud_rate(rate);
    Bytes reply;
    EXPECT_EQ(transact({0xFE}, reply, 5), kTransactionTimeout) << rate;
  }
  link.set_baud_rate(9600);
  for (const auto& [pause_ms, answered] : {std::pair{60u, true}, std::pair{5u, false}}) {
    setup.line().write({0x02, 0x03, 0x01});  // an interrupted request
    setup.advance_ms(pause_ms);
    EXPECT_EQ(acked({0xFE}, 5), answered) << pause_ms;
    setup.advance_ms(100);
  }
}

// However an adapter hands the bytes over, the host takes a reply when its
// last byte has reached it: blocks cost nothing, a latency timer at most its
// length, and the bytes are those the wire carried.
TEST(DeliveryPatterns, ReplyIsTakenWhenItsLastByteIsHandedOver) {
  const Bytes read_channels = {0xFF, 0x02, 0x05, 0x70, 0x50};  // a reply longer than a USB packet
  std::map<std::string, std::uint64_t> elapsed;
  std::optional<Bytes> first_reply;
  for (const char* name : {"byte", "block", "held:16"}) {
    SCOPED_TRACE(name);
    SimulatedSetup setup;
    setup.line().bus("SIM").set_delivery(*DeliveryPattern::parse(name));
    CcTalkLink link(setup.line(), setup.clock());
    Bytes reply;
    const std::uint64_t start = setup.clock().now_us();
    ASSERT_EQ(link.cctalk_transaction(2, read_channels, reply, 50), kTransactionOk);
    elapsed[name] = setup.clock().now_us() - start;
    if (!first_reply) first_reply = reply;
    EXPECT_EQ(reply, *first_reply);
  }
  EXPECT_EQ(elapsed["block"], elapsed["byte"]);
  EXPECT_GT(elapsed["held:16"], elapsed["byte"]);
  EXPECT_LE(elapsed["held:16"], elapsed["byte"] + 16'000);
}

TEST(DeliveryPatterns, AFullChunkIsHandedOverAtOnce) {
  SimulatedSetup setup;
  setup.line().bus("SIM").set_delivery(*DeliveryPattern::parse("4"));
  setup.line().write(kPollFrame);
  setup.scheduler().run_until_us(4 * 1042);
  EXPECT_EQ(setup.line().pending(), 4u) << "four of the five echoed bytes";
}

}  // namespace
}  // namespace qv82::sim
