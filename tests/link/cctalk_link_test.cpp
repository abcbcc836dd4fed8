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
    line.events.clear();
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
// the wire would carry them (a network adapter).
TEST(ReplyTiming, TakenTwoByteTimesAfterTheLastByte) {
  struct Case {
    int rate;
    std::uint64_t byte_us, settle_us;
  };
  for (const Case c : {Case{9600, 1042, 2084}, Case{38400, 260, 521}, Case{9600, 0, 2084}}) {
    SCOPED_TRACE(c.rate);
    Bench bench(c.rate, c.byte_us);
    bench.line.answers = {kAck};
    Bytes reply;
    EXPECT_EQ(bench.poll(reply), kTransactionOk);
    // The pre-wait, echo and reply of five bytes each, the reply latency.
    EXPECT_EQ(bench.elapsed, kPreWaitUs + 10 * c.byte_us + 2000 + c.settle_us);
  }
}

// Every way a reply can go wrong leaves the caller's reply untouched, logs
// only the request, and a time-out waits the whole budget. A byte after the
// end spoils the reply while the line settles, not later.
TEST(ReplyTiming, FaultyRepliesFailWithTheirResultCode) {
  struct Case {
    const char* name;
    bool echo;
    Bytes answer;
    std::uint64_t trailer_gap_us;  // before one extra byte; 0: none
    std::uint8_t expected;
    std::uint64_t elapsed_us;
  };
  const std::vector<Case> cases = {
      {"checksum off by one", true, {0x01, 0x00, 0x02, 0x00, 0xFE}, 0, kTransactionChecksumError,
       kPreWaitUs + 10 * 1042 + 2000 + 2084},
      {"extra byte while settling", true, kAck, 500, kTransactionTimeout, kBudgetUs},
      {"no echo", false, kAck, 0, kTransactionTimeout, kBudgetUs},
      {"no reply at all", true, {}, 0, kTransactionTimeout, kBudgetUs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench;
    bench.line.echo = c.echo;
    bench.line.answers = {c.answer};
    if (c.trailer_gap_us) bench.line.trailer = {0x00};
    bench.line.trailer_gap_us = c.trailer_gap_us;
    Bytes reply = {0xAB};
    EXPECT_EQ(bench.poll(reply), c.expected);
    EXPECT_EQ(bench.elapsed, c.elapsed_us);
    EXPECT_EQ(reply, Bytes{0xAB});
    EXPECT_EQ(bench.log.size(), 1u) << "only the sent line is logged";
  }
  Bench late;
  late.line.answers = {kAck};
  late.line.trailer = {0x00};
  late.line.trailer_gap_us = 3000;
  Bytes reply;
  EXPECT_EQ(late.poll(reply), kTransactionOk) << "a byte after the settling belongs to nobody";
}

// A slow reply counts while it is whole by the end of the last poll period;
// the settling time is cut short there.
TEST(ReplyTiming, SlowReplyCountsUntilTheEndOfTheBudget) {
  struct Case {
    std::uint64_t last_byte_us;  // after the frame was written
    std::uint8_t expected;
    std::uint64_t elapsed_us;
  };
  for (const Case c : {Case{90000, kTransactionOk, kPreWaitUs + 90000 + 2084},
                       Case{99000, kTransactionOk, kBudgetUs},
                       Case{101000, kTransactionTimeout, kBudgetUs}}) {
    SCOPED_TRACE(c.last_byte_us);
    Bench bench;
    bench.line.answers = {kAck};
    bench.line.answer_delay_us = c.last_byte_us - 10 * 1042;
    Bytes reply;
    EXPECT_EQ(bench.poll(reply), c.expected);
    EXPECT_EQ(bench.elapsed, c.elapsed_us);
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

TEST(Transaction, HexTextInAndOutAndBadHexSendsNothing) {
  Bench bench;
  bench.line.answers = {kAck};
  std::string reply;
  EXPECT_EQ(bench.link.cctalk_transaction(2, "FE", reply, 10, false, false), kTransactionOk);
  EXPECT_EQ(reply, "01000200FD");
  EXPECT_THROW(bench.link.cctalk_transaction(2, "FG", reply, 10, false, false), ConversionError);
  EXPECT_EQ(bench.line.written.size(), 1u);
  EXPECT_EQ(bench.busy, 0) << "the window must become usable again";
  EXPECT_EQ(hex_to_bytes("ff02a0F"), (Bytes{0xFF, 0x02, 0xA0})) << "an odd last digit is ignored";
}

TEST(Transaction, BaudRateSwitchReopensThePort) {
  Bench bench;
  bench.link.set_baud_rate(38400);
  bench.link.set_baud_rate(57600);
  EXPECT_EQ(bench.line.events,
            (std::vector<std::string>{"close", "rate 38400", "open", "close", "open"}));
  EXPECT_EQ(bench.line.baud_rate(), 38400);
}

TEST(Transaction, DateCodeUsesTheDevicesBaseYear) {
  Bench bench;
  EXPECT_THROW(bench.link.decode_date_code(0x0E69), ConversionError) << "no base year";
  Bytes year_reply = {0x01, 0x04, 0x02, 0x00, '2', '0', '0', '0'};
  year_reply.push_back(cctalk_checksum(year_reply.data(), year_reply.size()));
  bench.line.answers = {year_reply};
  EXPECT_EQ(bench.link.decode_date_code(0x0E69), "2007/3/9");
}

}  // namespace
}  // namespace qv82
