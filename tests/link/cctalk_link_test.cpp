#include "link/cctalk_link.h"

#include <gtest/gtest.h>

#include "link/errors.h"
#include "scripted_line.h"

namespace qv82 {
namespace {

const Bytes kAck = {0x01, 0x00, 0x02, 0x00, 0xFD};
constexpr std::uint64_t kPreWaitUs = 10000;
constexpr std::uint64_t kBudgetUs = kPreWaitUs + 10 * 10000;  // ten polls

// A scripted line on its own clock; every test and every table row gets a fresh one.
struct Bench {
  explicit Bench(int rate = 9600, std::uint64_t byte_us = 1042) {
    line.set_baud_rate(rate);
    line.byte_time_us = byte_us;
    link.add_log_line = [this](const std::string& t) { log.push_back(t); };
    link.busy_start = [this] { ++busy; };
    link.busy_end = [this] { --busy; };
  }
  // A poll to address 2 answered with `answer`; the time it took in `elapsed`.
  std::uint8_t poll(Bytes& reply, int polls = 10, const Bytes& command = {0xFE}) {
    const std::uint64_t start = scheduler.now_us();
    const std::uint8_t result = link.cctalk_transaction(2, command, reply, polls);
    elapsed = scheduler.now_us() - start;
    return result;
  }

  sim::Scheduler scheduler;
  test::ScriptedLine line{scheduler};
  sim::VirtualClock clock{scheduler};
  CcTalkLink link{line, clock};
  std::vector<std::string> log;
  int busy = 0;
  std::uint64_t elapsed = 0;
};

TEST(Transaction, FramesOnTheLineAndTheLog) {
  Bench bench;
  bench.line.answers = {kAck, kAck};
  Bytes reply;
  EXPECT_EQ(bench.poll(reply), kTransactionOk);
  EXPECT_EQ(reply, kAck);
  EXPECT_EQ(bench.log, (std::vector<std::string>{"-> 020001FEFF", "<- 01000200FD"}));
  bench.link.log_enabled = false;
  bench.poll(reply, 10, {0xFF, 0x02, 0x05, 0x70, 0x20});
  EXPECT_EQ(bench.line.written.at(1), (Bytes{0x02, 0x04, 0x01, 0xFF, 0x02, 0x05, 0x70, 0x20, 0x63}));
  EXPECT_EQ(bench.log.size(), 2u) << "logging off logs nothing";
  // 255 data bytes fill the length byte: a longer command is not sent wrapped.
  EXPECT_EQ(bench.poll(reply, 10, Bytes(257, 0x00)), kTransactionTimeout);
  EXPECT_EQ(bench.line.written.size(), 2u);
  EXPECT_EQ(bench.busy, 0);
}

// The reply is taken once the line has stayed quiet two byte times after its
// last byte, not at the next 10 ms poll; also when the bytes come faster than
// the wire would carry them (a network adapter). A slow reply counts while it
// is whole by the end of the budget. A faulty one leaves the caller's reply
// untouched and logs only the request; a byte after the end spoils the reply
// while the line settles, not later.
TEST(ReplyTiming, TakenWhenWholeAndQuietFaultsFailWithTheirCode) {
  struct Case {
    const char* name;
    std::uint8_t expected;
    std::uint64_t elapsed_us;
    int rate = 9600;
    std::uint64_t byte_us = 1042, answer_delay_us = 2000;
    Bytes answer = kAck;
    bool echo = true;
    std::uint64_t trailer_gap_us = 0;  // before one extra byte; 0: none
  };
  constexpr std::uint64_t kTaken = kPreWaitUs + 10 * 1042 + 2000 + 2084;
  constexpr std::uint64_t kWritten = 10 * 1042;  // the echo's last byte
  const Case cases[] = {
      {.name = "9600", .expected = kTransactionOk, .elapsed_us = kTaken},
      {.name = "38400", .expected = kTransactionOk, .elapsed_us = kPreWaitUs + 2600 + 2000 + 521,
       .rate = 38400, .byte_us = 260},
      {.name = "network adapter", .expected = kTransactionOk,
       .elapsed_us = kPreWaitUs + 2000 + 2084, .byte_us = 0},
      {.name = "slow", .expected = kTransactionOk, .elapsed_us = kPreWaitUs + 90000 + 2084,
       .answer_delay_us = 90000 - kWritten},
      {.name = "settling cut at the end", .expected = kTransactionOk, .elapsed_us = kBudgetUs,
       .answer_delay_us = 99000 - kWritten},
      {.name = "too slow", .expected = kTransactionTimeout, .elapsed_us = kBudgetUs,
       .answer_delay_us = 101000 - kWritten},
      {.name = "checksum off by one", .expected = kTransactionChecksumError, .elapsed_us = kTaken,
       .answer = {0x01, 0x00, 0x02, 0x00, 0xFE}},
      {.name = "no echo", .expected = kTransactionTimeout, .elapsed_us = kBudgetUs, .echo = false},
      {.name = "no reply", .expected = kTransactionTimeout, .elapsed_us = kBudgetUs, .answer = {}},
      {.name = "extra byte while settling", .expected = kTransactionTimeout,
       .elapsed_us = kBudgetUs, .trailer_gap_us = 500},
      {.name = "extra byte after settling", .expected = kTransactionOk, .elapsed_us = kTaken,
       .trailer_gap_us = 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench(c.rate, c.byte_us);
    bench.line.echo = c.echo;
    bench.line.answers = {c.answer};
    bench.line.answer_delay_us = c.answer_delay_us;
    if (c.trailer_gap_us) bench.line.trailer = {0x00};
    bench.line.trailer_gap_us = c.trailer_gap_us;
    Bytes reply = {0xAB};
    EXPECT_EQ(bench.poll(reply), c.expected);
    EXPECT_EQ(bench.elapsed, c.elapsed_us);
    EXPECT_EQ(reply, c.expected == kTransactionOk ? kAck : Bytes{0xAB});
    EXPECT_EQ(bench.log.size(), c.expected == kTransactionOk ? 2u : 1u);
  }
}

// The monitor's answer must be whole before the budget's last 10 ms; the
// host gives up only when the whole budget has passed.
TEST(RawTransferTiming, AnswerMustBeWholeBeforeTheLastPollPeriod) {
  struct Case {
    const char* name;
    int polls;
    std::uint64_t last_byte_us;  // after the record was written
    Bytes trailer;
    std::uint8_t expected;
    std::uint64_t elapsed_us;
  };
  const Case cases[] = {
      {"settling cut at the last test", 3, 19000, {}, kRawOk, 20000},
      {"whole in the last period", 3, 21000, {}, kRawFailed, 30000},
      {"one poll is never enough", 1, 5000, {}, kRawFailed, 10000},
      {"extra byte", 3, 5000, {'0'}, kRawFailed, 30000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench;
    bench.line.answers = {Bytes{'0'}};
    bench.line.answer_delay_us = c.last_byte_us - 2 * 1042;
    bench.line.trailer = c.trailer;
    Bytes reply;
    const std::uint64_t start = bench.clock.now_us();
    EXPECT_EQ(bench.link.raw_transfer(Bytes{0x55}, 1, c.polls, reply), c.expected);
    EXPECT_EQ(bench.clock.now_us() - start, c.elapsed_us);
    EXPECT_EQ(reply, Bytes{c.expected == kRawOk ? std::uint8_t{'0'} : std::uint8_t{'6'}});
  }
}

// The adapter pulled in the middle of a transfer or while the request is
// written: the transfer ends with the port's words at its next wait, said
// once; the closed port then times out quietly. Pulled while nothing talks
// to it: the window's hook hears of it.
TEST(Transaction, VanishedPortEndsTheTransferInProgressOnce) {
  Bench bench;
  int idle_failures = 0;
  bench.link.port_failed = [&] { ++idle_failures; };
  for (const bool on_write : {false, true}) {
    SCOPED_TRACE(on_write ? "on write" : "mid-transfer");
    bench.line.open();
    bench.line.vanish_on_write = on_write;
    if (!on_write) bench.scheduler.schedule_in_us(25'000, [&] { bench.line.vanish(); });
    const std::uint64_t started = bench.clock.now_ms();
    try {
      Bytes reply;
      bench.poll(reply, 50);
      ADD_FAILURE() << "the transfer ran on";
    } catch (const PortError& e) {
      EXPECT_STREQ(e.what(), "SCRIPT was disconnected");
    }
    EXPECT_LE(bench.clock.now_ms() - started, on_write ? 10u : 40u) << "not at the time-out";
    EXPECT_EQ(bench.busy, 0);
    bench.line.vanish_on_write = false;
    Bytes reply;
    EXPECT_EQ(bench.poll(reply, 5), kTransactionTimeout);
  }
  EXPECT_EQ(idle_failures, 0);
  bench.line.open();
  bench.line.vanish();
  EXPECT_EQ(idle_failures, 1);
  EXPECT_THROW(bench.link.check_port(), PortError);
  EXPECT_NO_THROW(bench.link.check_port());
}

}  // namespace
}  // namespace qv82
