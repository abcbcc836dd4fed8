#include "link/cctalk_link.h"

#include <gtest/gtest.h>

#include <functional>

#include "link/errors.h"
#include "scripted_line.h"

namespace qv82 {
namespace {

class TransactionTest : public ::testing::Test {
 protected:
  TransactionTest() : line(scheduler), clock(scheduler), link(line, clock) {
    link.add_log_line = [this](const std::string& text) { log.push_back(text); };
    link.busy_start = [this] { ++busy_starts; };
    link.busy_end = [this] { ++busy_ends; };
  }

  std::uint8_t send(const Bytes& command, Bytes& reply, int polls = 10) {
    return link.cctalk_transaction(2, command, reply, polls);
  }

  sim::Scheduler scheduler;
  test::ScriptedLine line;
  sim::VirtualClock clock;
  CcTalkLink link;
  std::vector<std::string> log;
  int busy_starts = 0;
  int busy_ends = 0;
};

const Bytes kAck = {0x01, 0x00, 0x02, 0x00, 0xFD};

TEST_F(TransactionTest, SimplePollBuildsFrameAndCompletesOnEchoPlusAck) {
  line.answers = {kAck};
  Bytes reply;
  EXPECT_EQ(send({0xFE}, reply), kTransactionOk);
  EXPECT_EQ(line.written.at(0), (Bytes{0x02, 0x00, 0x01, 0xFE, 0xFF}));
  EXPECT_EQ(reply, kAck);
  EXPECT_EQ(link.rx_buffer.size(), 10u);
  EXPECT_EQ(log, (std::vector<std::string>{"-> 020001FEFF", "<- 01000200FD"}));
  EXPECT_EQ(busy_starts, 1);
  EXPECT_EQ(busy_ends, 1);
}

TEST_F(TransactionTest, FrameWithDataCarriesLengthAndChecksum) {
  line.answers = {kAck};
  Bytes reply;
  send({0xFF, 0x02, 0x05, 0x70, 0x20}, reply);
  const Bytes& frame = line.written.at(0);
  EXPECT_EQ(frame, (Bytes{0x02, 0x04, 0x01, 0xFF, 0x02, 0x05, 0x70, 0x20, 0x63}));
  unsigned sum = 0;
  for (auto b : frame) sum += b;
  EXPECT_EQ(sum % 256, 0u);
}

// The length byte holds 255 data bytes: a longer command is refused
// unsent rather than sent with a wrapped length the device would misread.
TEST_F(TransactionTest, CommandLongerThanTheLengthByteIsNotSent) {
  line.answers = {kAck};
  Bytes reply;
  EXPECT_EQ(send(Bytes(257, 0x00), reply), kTransactionTimeout);
  EXPECT_TRUE(line.written.empty());
  EXPECT_TRUE(log.empty());
}

// A scripted line on its own clock, for tables of timing cases.
struct ScriptedBench {
  explicit ScriptedBench(int rate = 9600, std::uint64_t byte_us = 1042) {
    line.set_baud_rate(rate);
    line.byte_time_us = byte_us;
    link.add_log_line = [this](const std::string& t) { log.push_back(t); };
  }
  std::uint64_t us_since(std::uint64_t start) const { return scheduler.now_us() - start; }

  sim::Scheduler scheduler;
  test::ScriptedLine line{scheduler};
  sim::VirtualClock clock{scheduler};
  CcTalkLink link{line, clock};
  std::vector<std::string> log;
};

constexpr std::uint64_t kPreWaitUs = 10000;

TEST(SettlingTime, IsTwoByteTimesAtTheRate) {
  EXPECT_EQ(settle_time_us(9600), 2084u);
  EXPECT_EQ(settle_time_us(38400), 521u);
  EXPECT_EQ(settle_time_us(4800), 4167u);
}

// The reply is taken as soon as the line has stayed quiet for the settling
// time after its last byte, not at the next 10 ms poll; also when the bytes
// come faster than the wire would carry them (a network adapter).
TEST(ReplyTiming, TakenTwoByteTimesAfterTheLastByte) {
  struct Case {
    int rate;
    std::uint64_t byte_us;
  };
  for (const Case c : {Case{9600, 1042}, Case{38400, 260}, Case{9600, 0}}) {
    SCOPED_TRACE(c.rate);
    ScriptedBench bench(c.rate, c.byte_us);
    bench.line.answers = {kAck};
    Bytes reply;
    const std::uint64_t start = bench.clock.now_us();
    EXPECT_EQ(bench.link.cctalk_transaction(2, Bytes{0xFE}, reply, 10), kTransactionOk);
    // The pre-wait, echo and reply of five bytes each, the reply latency.
    EXPECT_EQ(bench.us_since(start), kPreWaitUs + 10 * c.byte_us + 2000 + settle_time_us(c.rate));
  }
}

// Every way a reply can go wrong leaves the caller's reply untouched, and
// a time-out still waits the whole budget.
TEST(ReplyTiming, FaultyRepliesFailWithTheirResultCode) {
  struct Case {
    const char* name;
    bool echo;
    Bytes answer;
    std::uint8_t expected;
    std::uint64_t elapsed_us;
  };
  const std::uint64_t budget = kPreWaitUs + 10 * 10000;
  const std::vector<Case> cases = {
      {"checksum off by one",
       true,
       {0x01, 0x00, 0x02, 0x00, 0xFE},
       kTransactionChecksumError,
       kPreWaitUs + 10 * 1042 + 2000 + 2084},
      {"extra byte straight after the reply",
       true,
       {0x01, 0x00, 0x02, 0x00, 0xFD, 0x00},
       kTransactionTimeout,
       budget},
      {"missing last byte", true, {0x01, 0x00, 0x02, 0x00}, kTransactionTimeout, budget},
      {"no echo", false, kAck, kTransactionTimeout, budget},
      {"no reply at all", true, {}, kTransactionTimeout, budget},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedBench bench;
    bench.line.echo = c.echo;
    bench.line.answers = {c.answer};
    Bytes reply = {0xAB};
    const std::uint64_t start = bench.clock.now_us();
    EXPECT_EQ(bench.link.cctalk_transaction(2, Bytes{0xFE}, reply, 10), c.expected);
    EXPECT_EQ(bench.us_since(start), c.elapsed_us);
    EXPECT_EQ(reply, Bytes{0xAB});
    EXPECT_EQ(bench.log.size(), 1u) << "only the sent line is logged";
  }
}

// A byte after the expected end spoils the reply while the line settles;
// one that comes later belongs to nobody (the next transfer clears it).
TEST(ReplyTiming, ByteAfterTheEndSpoilsTheReplyOnlyWhileItSettles) {
  struct Case {
    std::uint64_t gap_us;  // quiet time between the reply and the extra byte
    std::uint8_t expected;
  };
  for (const Case c :
       {Case{0, kTransactionTimeout}, Case{500, kTransactionTimeout}, Case{3000, kTransactionOk}}) {
    SCOPED_TRACE(c.gap_us);
    ScriptedBench bench;
    bench.line.answers = {kAck};
    bench.line.trailer = {0x00};
    bench.line.trailer_gap_us = c.gap_us;
    Bytes reply;
    EXPECT_EQ(bench.link.cctalk_transaction(2, Bytes{0xFE}, reply, 10), c.expected);
  }
}

// A slow reply counts while it is whole by the end of the last poll period;
// the settling time is cut short there.
TEST(ReplyTiming, SlowReplyCountsUntilTheEndOfTheBudget) {
  struct Case {
    std::uint64_t last_byte_us;  // after the frame was written
    std::uint8_t expected;
    std::uint64_t elapsed_us;
  };
  const std::uint64_t echo_and_ack = 10 * 1042;
  for (const Case c : {Case{90000, kTransactionOk, kPreWaitUs + 90000 + 2084},
                       Case{99000, kTransactionOk, kPreWaitUs + 100000},
                       Case{101000, kTransactionTimeout, kPreWaitUs + 100000}}) {
    SCOPED_TRACE(c.last_byte_us);
    ScriptedBench bench;
    bench.line.answers = {kAck};
    bench.line.answer_delay_us = c.last_byte_us - echo_and_ack;
    Bytes reply;
    const std::uint64_t start = bench.clock.now_us();
    EXPECT_EQ(bench.link.cctalk_transaction(2, Bytes{0xFE}, reply, 10), c.expected);
    EXPECT_EQ(bench.us_since(start), c.elapsed_us);
  }
}

TEST_F(TransactionTest, NoiseBeforeTheEchoNeverCompletes) {
  line.echo = false;
  line.answers = {Bytes{0x55, 0x02, 0x00, 0x01, 0xFE, 0xFF, 0x01, 0x00, 0x02, 0x00, 0xFD}};
  Bytes reply;
  EXPECT_EQ(send({0xFE}, reply), kTransactionTimeout);
}

TEST_F(TransactionTest, TimeoutWaitsTheWholeBudget) {
  Bytes reply;
  const auto start = clock.now_ms();
  EXPECT_EQ(send({0xFE}, reply, 5), kTransactionTimeout);
  EXPECT_GE(clock.now_ms() - start, 60u);
  EXPECT_LT(clock.now_ms() - start, 70u);
}

TEST_F(TransactionTest, ClosedPortWritesNothingAndTimesOut) {
  line.close();
  Bytes reply;
  EXPECT_EQ(send({0xFE}, reply, 3), kTransactionTimeout);
  EXPECT_TRUE(line.written.empty());
}

// The adapter pulled in the middle of a transfer: the transfer ends with the
// port's words at its next wait, said once; the closed port then times out
// quietly. Pulled while nothing talks to it: the window's hook hears of it.
TEST_F(TransactionTest, VanishedPortEndsTheTransferInProgressOnce) {
  int idle_failures = 0;
  link.port_failed = [&] { ++idle_failures; };
  const std::pair<const char*, std::function<void()>> transfers[] = {
      {"framed",
       [&] {
         Bytes reply;
         send({0xFE}, reply, 50);
       }},
      {"raw",
       [&] {
         Bytes reply;
         link.raw_transfer({0x56}, 9, 50, reply);
       }},
  };
  for (const auto& [name, transfer] : transfers) {
    SCOPED_TRACE(name);
    line.open();
    scheduler.schedule_in_us(25'000, [&] { line.vanish(); });
    const std::uint64_t started = clock.now_ms();
    try {
      transfer();
      ADD_FAILURE() << "the transfer ran on";
    } catch (const PortError& e) {
      EXPECT_STREQ(e.what(), "SCRIPT was disconnected");
    }
    EXPECT_LE(clock.now_ms() - started, 40u) << "at the next poll, not at the time-out";
    EXPECT_FALSE(line.connected());
    EXPECT_EQ(busy_starts, busy_ends);
    Bytes reply;
    EXPECT_EQ(send({0xFE}, reply, 5), kTransactionTimeout);
  }
  EXPECT_EQ(idle_failures, 0);

  // Pulled while the request is written: said before any reply is awaited.
  for (const auto& [name, transfer] : transfers) {
    SCOPED_TRACE(name);
    line.open();
    line.vanish_on_write = true;
    const std::uint64_t started = clock.now_ms();
    EXPECT_THROW(transfer(), PortError);
    EXPECT_LE(clock.now_ms() - started, 10u) << "not at the time-out";
    line.vanish_on_write = false;
  }
  EXPECT_EQ(idle_failures, 0);

  line.open();
  line.vanish();
  EXPECT_EQ(idle_failures, 1);
  EXPECT_THROW(link.check_port(), PortError);
  EXPECT_NO_THROW(link.check_port());
}

TEST_F(TransactionTest, HexCommandAndHexReply) {
  line.answers = {kAck};
  std::string reply;
  EXPECT_EQ(link.cctalk_transaction(2, "FE", reply, 10, false, false), kTransactionOk);
  EXPECT_EQ(reply, "01000200FD");
}

TEST_F(TransactionTest, BadHexIsRejectedBeforeAnythingIsSent) {
  std::string reply = "kept";
  EXPECT_THROW(link.cctalk_transaction(2, "FG", reply, 10, false, false), ConversionError);
  EXPECT_TRUE(line.written.empty());
  EXPECT_EQ(reply, "kept");
  EXPECT_EQ(busy_starts, busy_ends) << "the window must become usable again";
}

TEST_F(TransactionTest, LoggingOffLogsNothing) {
  link.log_enabled = false;
  line.answers = {kAck};
  Bytes reply;
  send({0xFE}, reply);
  EXPECT_TRUE(log.empty());
}

TEST_F(TransactionTest, RawTransferTakesTheBytesAfterTheEcho) {
  line.answers = {text_to_bytes("QV82HS-BL")};
  Bytes reply;
  EXPECT_EQ(link.raw_transfer(Bytes{'V'}, 9, 10, reply), kRawOk);
  EXPECT_EQ(bytes_to_text(reply), "QV82HS-BL");
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
      {"prompt", 3, 5000, {}, kRawOk, 5000 + 2084},
      {"settling cut at the last test", 3, 19000, {}, kRawOk, 20000},
      {"whole in the last period", 3, 21000, {}, kRawFailed, 30000},
      {"two polls, late answer", 2, 14000, {}, kRawFailed, 20000},
      {"one poll is never enough", 1, 5000, {}, kRawFailed, 10000},
      {"extra byte", 3, 5000, {'0'}, kRawFailed, 30000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedBench bench;
    bench.line.answers = {Bytes{'0'}};
    bench.line.answer_delay_us = c.last_byte_us - 2 * 1042;
    bench.line.trailer = c.trailer;
    Bytes reply;
    const std::uint64_t start = bench.clock.now_us();
    EXPECT_EQ(bench.link.raw_transfer(Bytes{0x55}, 1, c.polls, reply), c.expected);
    EXPECT_EQ(bench.us_since(start), c.elapsed_us);
    EXPECT_EQ(reply, Bytes{c.expected == kRawOk ? std::uint8_t{'0'} : std::uint8_t{'6'}});
  }
}

// Waiting sleeps between the moments that matter: a long reply wakes the
// transfer a few times (pre-wait, rest until the header, its last byte, rest
// until the end, the last byte, settling), not once a byte.
TEST(ReplyTiming, LongReplyWakesTheTransferOnlyAFewTimes) {
  // Whole, and three bytes short: a stalled reply is then awaited
  // byte by byte, not with a rest after a rest until the budget ends.
  for (const std::size_t cut : {std::size_t{0}, std::size_t{4 + 250 + 1 - 3}}) {
    SCOPED_TRACE(cut);
    ScriptedBench bench;
    Bytes answer = {0x01, 250, 0x02, 0x00};
    answer.resize(4 + 250, 0x5A);
    answer.push_back(cctalk_checksum(answer.data(), answer.size()));
    if (cut > 0) answer.resize(cut);
    bench.line.answers = {answer};
    int waits = 0;
    bench.clock.on_wait = [&] { ++waits; };
    Bytes reply;
    EXPECT_EQ(bench.link.cctalk_transaction(2, Bytes{0xFF, 0x02, 0x00, 0x00, 250}, reply, 50),
              cut > 0 ? kTransactionTimeout : kTransactionOk);
    EXPECT_LE(waits, 6);
  }
}

TEST_F(TransactionTest, BaudRateSwitchReopensThePort) {
  link.set_baud_rate(38400);
  link.set_baud_rate(57600);
  EXPECT_EQ(line.events,
            (std::vector<std::string>{"close", "rate 38400", "open", "close", "open"}));
  EXPECT_EQ(line.baud_rate(), 38400);
}

TEST_F(TransactionTest, DateCodeUsesTheDevicesBaseYear) {
  // AA answered with "2000".
  Bytes year_reply = {0x01, 0x04, 0x02, 0x00, '2', '0', '0', '0'};
  year_reply.push_back(cctalk_checksum(year_reply.data(), year_reply.size()));
  line.answers = {year_reply};
  EXPECT_EQ(link.decode_date_code(0x0E69), "2007/3/9");
}

TEST_F(TransactionTest, DateCodeWithoutBaseYearIsAConversionError) {
  EXPECT_THROW(link.decode_date_code(0x0E69), ConversionError);
}

TEST(HexText, ConvertsPairsAndIgnoresAnOddLastCharacter) {
  EXPECT_EQ(hex_to_bytes("FF0"), Bytes{0xFF});
  EXPECT_EQ(hex_to_bytes("ff02a0"), (Bytes{0xFF, 0x02, 0xA0}));
  EXPECT_EQ(bytes_to_hex({0xFF, 0x02, 0x05, 0x70, 0x20}), "FF02057020");
  EXPECT_THROW(hex_to_bytes("0G"), ConversionError);
}

}  // namespace
}  // namespace qv82
