#include <gtest/gtest.h>

#include "support/selector_bench.h"

namespace qv82::test {
namespace {

using Texts = std::vector<std::string>;
constexpr const char* kPassword = "123456789ABC";
constexpr const char* kPin = "12345678";
const std::string kFactory = "Enter factory password";
const std::string kPinCaption = "Enter PIN";

// A bench whose device has the given masks, identified so that the masks
// are known.
struct Identified : SelectorBench {
  explicit Identified(sim::SetupOptions options) : SelectorBench(std::move(options)) {
    EXPECT_TRUE(selector.identify_device());
    ui.clear();
  }
};

TEST(CheckAccess, DialogsForAChannelRead) {
  struct Case {
    const char* name;
    std::array<std::uint8_t, 4> masks;
    std::deque<std::optional<std::string>> passwords;
    bool nobody_answers;
    int result;
    Texts prompts, errors;
    std::uint8_t flags;
  };
  const std::string F = kFactory, P = kPinCaption, length = "Incorrect password length";
  const Texts timed_out = {"Communication error2", "Communication error"};
  // Factory read mask 0x01 passes the factory level; the PIN read mask must
  // open the channels too. A short text keeps the dialog open; blanks around
  // the digits are dropped. A wrong factory password falls back to the PIN.
  // clang-format off
  const Case cases[] = {
      {"factory", {0, 0, 0, 0}, {"12345", " 123456789ABC"}, false, kMemoryOk, {F}, {length},
       kFactoryUnlocked},
      {"to PIN", {0, 0, 0, 0}, {"000000000000", kPin}, false, kMemoryOk, {F, P}, {}, kPinUnlocked},
      {"PIN only", {0xFF, 0xFF, 0, 0}, {kPin}, false, kMemoryOk, {P}, {}, kPinUnlocked},
      {"open", {0x01, 0x00, 0x01, 0x00}, {}, false, kMemoryOk, {}, {}, 0},
      {"timeout, PIN asked", {0, 0, 0, 0}, {kPassword, kPin}, true, kMemoryDenied, {F, P},
       timed_out, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Identified bench(with_masks(c.masks[0], c.masks[1], c.masks[2], c.masks[3]));
    bench.ui.passwords = c.passwords;
    if (c.nobody_answers) bench.link.device_address = 9;
    const std::size_t before = bench.requests();
    EXPECT_EQ(bench.selector.read_channel(1), c.result);
    EXPECT_EQ(bench.ui.password_prompts(), c.prompts);
    EXPECT_EQ(bench.ui.errors(), c.errors);
    EXPECT_EQ(bench.state.unlock_flags, c.flags);
    if (c.result == kMemoryOk) {
      EXPECT_EQ(bench.state.channel_buffer[0], bench.device().memory().read(0x0570, 32));
    }
    if (c.flags == kFactoryUnlocked) {
      // No dialog the second time, but the challenge and response go out again.
      bench.ui.clear();
      const std::size_t sent = bench.requests();
      EXPECT_EQ(bench.selector.write_channel(1), kMemoryOk);
      EXPECT_TRUE(bench.ui.password_prompts().empty());
      ASSERT_EQ(bench.requests(), sent + 3) << "challenge, response, write";
    }
    if (c.prompts.empty()) {
      EXPECT_EQ(bench.requests(), before + 1) << "the read only";
      // Writing channels is still closed: Cancel sends nothing.
      bench.ui.passwords = {std::nullopt};
      EXPECT_EQ(bench.selector.write_channel(1), kMemoryDenied);
      EXPECT_EQ(bench.ui.password_prompts(), Texts{kFactory});
      EXPECT_TRUE(bench.ui.errors().empty());
      EXPECT_EQ(bench.requests(), before + 1);
    }
  }
}

TEST(CheckAccess, WrongPinClearsTheFlagAndAsksAgain) {
  Identified bench(with_masks(0xFF, 0xFF, 0x00, 0x00));
  bench.ui.passwords = {kPin};
  ASSERT_EQ(bench.selector.read_channel(1), kMemoryOk);
  // The flag spares the dialog, but a device whose PIN changed refuses it.
  bench.device().config().pin = {0, 0, 0, 1};
  bench.ui.clear();
  const std::size_t before = bench.requests();
  EXPECT_EQ(bench.selector.read_channel(1), kMemoryDenied);
  EXPECT_TRUE(bench.ui.password_prompts().empty());
  EXPECT_EQ(bench.ui.errors(), Texts{"Wrong Password"});
  EXPECT_EQ(bench.requests(), before + 1);  // the DA only

  bench.ui.clear();
  bench.ui.passwords = {"00000001"};
  EXPECT_EQ(bench.selector.read_channel(1), kMemoryOk);
  EXPECT_EQ(bench.ui.password_prompts(), Texts{kPinCaption});
}

TEST(MemoryAccess, ChannelSixteenWriteCommitAndReadBack) {
  Identified bench(with_masks(0xFF, 0xFF, 0xFF, 0xFF));
  ASSERT_EQ(bench.selector.read_channel(16), kMemoryOk);
  const Bytes& frame = bench.device().requests().back();
  EXPECT_EQ(Bytes(frame.begin() + 3, frame.end() - 1), (Bytes{0xFF, 0x02, 0x07, 0x50, 0x20}));
  EXPECT_EQ(bench.state.channel_buffer[15], bench.device().memory().read(0x0750, 32));

  const Bytes data{0x11, 0x22, 0x33};
  EXPECT_EQ(bench.selector.write_memory(0x07F0, data, kAreaCommonParameters), kMemoryOk);
  EXPECT_TRUE(bench.selector.commit_and_reset());
  EXPECT_EQ(bench.device().memory().read(0x07F0, 3), data);
  Bytes read;
  EXPECT_EQ(bench.selector.read_memory(0x07F0, 3, kAreaCommonParameters, read), kMemoryOk);
  EXPECT_EQ(read, data);

  // Failures are result one and change nothing: a block leaving the memory, nobody answering.
  read = {0xAA};
  EXPECT_EQ(bench.selector.read_memory(0x0FFE, 4, kAreaChannels, read), kMemoryFailed);
  EXPECT_EQ(read, Bytes{0xAA});
  bench.state.channel_buffer[0] = Bytes(32, 0x5A);
  bench.link.device_address = 9;
  EXPECT_EQ(bench.selector.read_channel(1), kMemoryFailed);
  EXPECT_EQ(bench.state.channel_buffer[0], Bytes(32, 0x5A));
  EXPECT_EQ(bench.selector.write_channel(1), kMemoryFailed);
  EXPECT_FALSE(bench.selector.commit_and_reset());
  EXPECT_TRUE(bench.ui.shown.empty());
}

}  // namespace
}  // namespace qv82::test
