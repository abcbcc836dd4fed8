// What the host learns from the device: identification, polls, addresses.
#include <gtest/gtest.h>

#include "link/cctalk_link.h"
#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

class Identity : public test::SimFixture {};

TEST_F(Identity, AnswersTheIdentificationRequestsAndRefusesUnknownOnes) {
  const std::pair<Bytes, std::optional<Bytes>> cases[] = {
      {{0xF6}, text_to_bytes("Corvanti")},
      {{0xFF, 0x08}, text_to_bytes("QV82")},
      {{0xF2}, Bytes{0x87, 0xD6, 0x12}},  // 1234567, least significant first
      {{0xF1}, text_to_bytes("QV82HS-1.02")},
      {{0xC4}, Bytes{0x0E, 0x69}},
      {{0xC3}, Bytes{0x14, 0xCF}},
      {{0xAA}, text_to_bytes("2000")},
      {{0xFF, 0x09}, Bytes{}},
      {{0x77}, std::nullopt},
      {{0xFF}, std::nullopt},
  };
  for (const auto& [command, data] : cases)
    EXPECT_EQ(ask(command, 5), data) << bytes_to_hex(command);
  Bytes reply;
  ASSERT_EQ(transact({0xFE}, reply, 5), kTransactionOk);
  EXPECT_EQ(reply, (Bytes{kHostAddress, 0x00, 0x02, 0x00, 0xFD}));
}

TEST_F(Identity, AnswersOnlyItsAddressAndGoodChecksums) {
  Bytes reply;
  EXPECT_EQ(link.cctalk_transaction(3, Bytes{0xFE}, reply, 5), kTransactionTimeout);
  EXPECT_EQ(link.cctalk_transaction(0, Bytes{0xF6}, reply, 5), kTransactionTimeout)
      << "only the polls are broadcast";
  EXPECT_EQ(link.cctalk_transaction(0, Bytes{0xFE}, reply, 5), kTransactionOk);

  Bytes bad = build_frame(2, {0xFE});
  ++bad.back();
  link.rx_buffer.clear();
  setup.line().write(bad);
  setup.advance_ms(100);
  EXPECT_EQ(link.rx_buffer, bad) << "only the echo comes back";
}

}  // namespace
}  // namespace qv82::sim
