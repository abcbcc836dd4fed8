// Memory writes, the store command, reset and the counter erase.
#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

class MemoryCommands : public test::SimFixture {};

TEST_F(MemoryCommands, WritesLiveInRamUntilStored) {
  const Bytes read_modes = {0xFF, 0x02, 0x07, 0xB0, 0x04};
  ASSERT_EQ(ask(read_modes), (Bytes{0, 0, 0, 0}));
  ASSERT_TRUE(acked({0xFF, 0x03, 0x07, 0xB0, 0xAA, 0xBB}));
  EXPECT_EQ(ask(read_modes), (Bytes{0xAA, 0xBB, 0, 0}));
  ASSERT_TRUE(acked({0x01}, 20));
  EXPECT_EQ(ask(read_modes), (Bytes{0, 0, 0, 0})) << "a reset reloads the stored image";

  ASSERT_TRUE(acked({0xFF, 0x03, 0x07, 0xB0, 0xAA, 0xBB}));
  ASSERT_TRUE(acked({0xFF, 0x03}, 8));
  ASSERT_TRUE(acked({0x01}, 20));
  EXPECT_EQ(ask(read_modes), (Bytes{0xAA, 0xBB, 0, 0}));
  EXPECT_EQ(device().memory().nv()[0x07B1], 0xBB);
}

TEST_F(MemoryCommands, WritingOneAtACounterErasesIt) {
  device().memory().poke(0x0830, {0x00, 0x01, 0x02, 0x00, 0x00, 0x07});  // counters 1, 2
  device().memory().poke(0x0869, {0x12, 0x34, 0x56});                    // counter 20
  struct Case {
    Bytes write;
    std::uint16_t address;
    Bytes expected;
  };
  const Case cases[] = {
      {{0xFF, 0x03, 0x08, 0x30, 0x01}, 0x0830, {0, 0, 0}},        // counter 1 erased
      {{0xFF, 0x03, 0x08, 0x34, 0x01}, 0x0833, {0, 0x01, 0x07}},  // not its first byte
      {{0xFF, 0x03, 0x08, 0x69, 0x01}, 0x0869, {0, 0, 0}},        // counter 20
      {{0xFF, 0x03, 0x08, 0x6C, 0x01}, 0x086C, {0x01, 0, 0}},     // no counter there
      {{0xFF, 0x03, 0x08, 0x33, 0x00, 0x00, 0x09}, 0x0833, {0, 0, 9}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(acked(c.write)) << bytes_to_hex(c.write);
    EXPECT_EQ(device().memory().read(c.address, 3), c.expected) << bytes_to_hex(c.write);
  }
}

}  // namespace
}  // namespace qv82::sim
