#include "link/cctalk.h"

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
  TccTfrm link;
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

// Every way a reply can go wrong leaves the caller's reply untouched.
TEST_F(TransactionTest, FaultyRepliesFailWithTheirResultCode) {
  struct Case {
    const char* name;
    bool echo;
    Bytes answer;
    std::uint8_t expected;
  };
  const std::vector<Case> cases = {
      {"checksum off by one", true, {0x01, 0x00, 0x02, 0x00, 0xFE}, kTransactionChecksumError},
      {"extra byte after the reply", true, {0x01, 0x00, 0x02, 0x00, 0xFD, 0x00}, kTransactionTimeout},
      {"missing last byte", true, {0x01, 0x00, 0x02, 0x00}, kTransactionTimeout},
      {"no echo", false, kAck, kTransactionTimeout},
      {"no reply at all", true, {}, kTransactionTimeout},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim::Scheduler s;
    test::ScriptedLine l(s);
    sim::VirtualClock vc(s);
    TccTfrm holder(l, vc);
    std::vector<std::string> lines;
    holder.add_log_line = [&](const std::string& t) { lines.push_back(t); };
    l.echo = c.echo;
    l.answers = {c.answer};
    Bytes reply = {0xAB};
    EXPECT_EQ(holder.cctalk_transaction(2, Bytes{0xFE}, reply, 10), c.expected);
    EXPECT_EQ(reply, Bytes{0xAB});
    EXPECT_EQ(lines.size(), 1u) << "only the sent line is logged";
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

TEST_F(TransactionTest, RawTransferFailureRepliesSixAndNeverLooksAtTheLastPoll) {
  // With two polls the length is tested once, after the first 10 ms; the
  // answer arrives later than that and so is never taken.
  line.answer_delay_us = 12000;
  line.answers = {Bytes{'0'}};
  Bytes reply;
  EXPECT_EQ(link.raw_transfer(Bytes{0x55}, 1, 2, reply), kRawFailed);
  EXPECT_EQ(reply, Bytes{'6'});
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
