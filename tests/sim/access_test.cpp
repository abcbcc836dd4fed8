// Access masks, factory unlock and PIN.
#include <gtest/gtest.h>

#include "sim/unlock.h"
#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

TEST(UnlockResponse, MatchesAHandComputedValue) {
  EXPECT_EQ(unlock_response({1, 2, 3, 4, 5, 6}, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}),
            (std::array<std::uint8_t, 6>{0x38, 0xAC, 0xCE, 0xAB, 0x99, 0xC9}));
}

SetupOptions with_masks(std::array<std::uint8_t, 4> masks) {
  SetupOptions options;
  options.device.masks = masks;
  return options;
}

class Masks : public test::SimFixture {
 protected:
  // Factory read: channels; PIN read: channels and I/O. Writes: modes in both.
  Masks() : SimFixture(with_masks({0x01, 0x04, 0x03, 0x04})) {}
  const Bytes pin = {0xDA, 0x12, 0x34, 0x56, 0x78};
};

TEST_F(Masks, OpenAreasNeedNoUnlockOthersDo) {
  enum class Unlock { kNone, kFactory, kPin };
  struct Case {
    Bytes command;
    Unlock unlock;
    bool granted;
  };
  const Case cases[] = {
      {{0xFF, 0x02, 0x05, 0x70, 0x20}, Unlock::kNone, true},   // channel 1: open in both
      {{0xFF, 0x02, 0x07, 0x70, 0x08}, Unlock::kNone, false},  // I/O: PIN mask only
      {{0xFF, 0x02, 0x07, 0x6C, 0x08}, Unlock::kNone, false},  // spans channels and I/O
      {{0xFF, 0x02, 0x07, 0xEB, 0x04}, Unlock::kNone, true},   // the masks themselves
      {{0xFF, 0x02, 0x00, 0x10, 0x04}, Unlock::kNone, false},  // outside every area
      {{0xFF, 0x03, 0x07, 0xB3, 0x00}, Unlock::kNone, true},   // modes write
      {{0xFF, 0x03, 0x05, 0x70, 0x00}, Unlock::kNone, false},  // channel write
      {{0xFF, 0x02, 0x07, 0x70, 0x08}, Unlock::kFactory, true},
      {{0xFF, 0x02, 0x00, 0x10, 0x04}, Unlock::kPin, true},
      {{0xFF, 0x03, 0x08, 0x30, 0x01}, Unlock::kPin, true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(acked({0x01}, 20));  // a reset forgets any unlock
    if (c.unlock == Unlock::kFactory) {
      ASSERT_TRUE(unlock_factory());
    } else if (c.unlock == Unlock::kPin) {
      ASSERT_TRUE(acked(pin));
    }
    EXPECT_EQ(acked(c.command), c.granted) << bytes_to_hex(c.command);
  }
}

TEST_F(Masks, PinEntryAndChange) {
  const Bytes new_pin = {0xDB, 0xCA, 0xFE, 0x00, 0x01};
  EXPECT_FALSE(acked(new_pin)) << "changing needs the PIN first";
  EXPECT_TRUE(acked(pin));
  EXPECT_TRUE(acked(new_pin));
  EXPECT_TRUE(acked({0x01}, 20));
  EXPECT_TRUE(acked({0xDA, 0xCA, 0xFE, 0x00, 0x01})) << "the new PIN survives a reset";
  EXPECT_FALSE(acked({0xDA, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_FALSE(acked({0xFF, 0x02, 0x00, 0x10, 0x04})) << "a wrong PIN locks again";
}

}  // namespace
}  // namespace qv82::sim
