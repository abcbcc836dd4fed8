// The factory image: a configured vending coin selector whose euro coins are
// accepted in their own channels and whose counters count what their options name.
#include "sim/factory_image.h"

#include <gtest/gtest.h>

#include "sim/statistic_counting.h"
#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

constexpr std::size_t kEuroKinds = 8;

std::array<std::uint32_t, kCounterCount> counters(const Memory::Image& image) {
  std::array<std::uint32_t, kCounterCount> values{};
  for (int i = 0; i < kCounterCount; ++i) {
    const std::size_t at = kCounterBase + 3 * static_cast<std::size_t>(i);
    values[i] = image[at] << 16 | image[at + 1] << 8 | image[at + 2];
  }
  return values;
}

class FactoryDevice : public test::SimFixture {};

TEST_F(FactoryDevice, EachEuroCoinIsAcceptedInItsOwnChannelAndForeignCoinsNowhere) {
  ASSERT_EQ(device().coin_kinds().size(), kEuroKinds + 2);
  enable_all_coins();
  for (std::size_t kind = 0; kind < device().coin_kinds().size(); ++kind) {
    int elsewhere = 0;
    int rejected = 0;
    for (int i = 0; i < 300; ++i) {
      const InsertResult result = device().insert(kind);
      rejected += !result.accepted;
      elsewhere += result.accepted && result.channel != static_cast<int>(kind) + 1;
    }
    EXPECT_EQ(elsewhere, 0) << device().coin_kinds()[kind].name;
    EXPECT_TRUE(kind < kEuroKinds ? rejected <= 2 : rejected == 300)
        << device().coin_kinds()[kind].name << ": " << rejected << " rejected";
  }
}

TEST_F(FactoryDevice, InsertedCoinsMoveTheCountersTheirOptionsName) {
  // Rows of the factory options: 1 accepted, 2 rejected, 3 inhibited, 8 ... 15 channels 1 ... 8;
  // row 16, unused there, made "Credits paid".
  device().memory().poke(kOptionBase + 15, {statistic_code::kCreditsPaid});
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<std::pair<int, std::uint32_t>> grown;  // row, amount
  };
  const Step steps[] = {
      {"master inhibit", [&] { device().insert(0); }, {{3, 1}}},
      {"1 euro, mint A",
       [&] {
         enable_all_coins();
         device().insert(4);
       },
       {{1, 1}, {12, 1}, {16, 100}}},
      {"2 euro, mint B", [&] { device().insert(7); }, {{1, 1}, {15, 1}, {16, 200}}},
      {"foreign coin", [&] { device().insert(kEuroKinds); }, {{2, 1}}},
      {"channel 1 inhibited",
       [&] {
         ASSERT_TRUE(acked({0xE7, 0xFE, 0xFF}));
         device().insert(0);
       },
       {{3, 1}}},
      // Row 1 made "not used" (in RAM, as a write does before the store): it no longer counts.
      {"row 1 unused",
       [&] {
         ASSERT_TRUE(acked({0xFF, 0x03, 0x08, 0x1A, 0xFF}));
         device().insert(1);
       },
       {{9, 1}, {16, 10}}},
  };
  auto expected = counters(device().memory().nv());
  for (const Step& step : steps) {
    step.act();
    for (const auto& [row, amount] : step.grown) expected[row - 1] += amount;
    EXPECT_EQ(counters(device().memory().ram()), expected) << step.what;
    EXPECT_EQ(counters(device().memory().nv()), expected) << step.what << ": kept for life";
  }
}

TEST_F(FactoryDevice, CountersStopAtTheirLargestValue) {
  device().memory().poke(kOptionBase + 15, {statistic_code::kCreditsPaid});
  device().memory().poke(kCounterBase + 3 * 15, {0xFF, 0xFF, 0x00});
  device().memory().poke(kCounterBase, {0xFF, 0xFF, 0xFE});  // coins accepted
  enable_all_coins();
  for (int i = 0; i < 3; ++i) device().insert(7);  // 200 each
  EXPECT_EQ(device().memory().read(kCounterBase, 3), (Bytes{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(device().memory().read(kCounterBase + 3 * 15, 3), (Bytes{0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace qv82::sim
