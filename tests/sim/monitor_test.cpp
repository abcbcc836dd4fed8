// The boot monitor: entering it, identification, records, leaving it.
#include <gtest/gtest.h>

#include "link/cctalk_link.h"
#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

// 0x55, the type character, then count, address, data and the S-record
// checksum (ones' complement of the sum from count on).
Bytes record(char type, const Bytes& address, const Bytes& data, int checksum_error = 0) {
  Bytes frame{0x55, static_cast<std::uint8_t>(type),
              static_cast<std::uint8_t>(address.size() + data.size() + 1)};
  frame.insert(frame.end(), address.begin(), address.end());
  frame.insert(frame.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (std::size_t i = 2; i < frame.size(); ++i) sum += frame[i];
  frame.push_back(static_cast<std::uint8_t>(~sum + checksum_error));
  return frame;
}

Bytes header(const std::string& id, const std::string& revision) {
  return record('0', {0, 0}, text_to_bytes(id + revision));
}

class Monitor : public test::SimFixture {
 protected:
  explicit Monitor(SetupOptions options = {}) : SimFixture(std::move(options)) {}
  std::string status(const Bytes& frame, int polls = 300) {
    Bytes reply;
    if (link.raw_transfer(frame, 1, polls, reply) != kRawOk) return "timeout";
    return bytes_to_text(reply);
  }
  std::string identify() {
    Bytes reply;
    if (link.raw_transfer(text_to_bytes("V"), 9, 50, reply) != kRawOk) return "";
    return bytes_to_text(reply);
  }
};

TEST_F(Monitor, EnteredOnRequestIgnoresFramesAndIdentifies) {
  EXPECT_EQ(identify(), "") << "the application does not speak the monitor protocol";
  ASSERT_TRUE(acked({0xFF, 0x06}, 50));
  EXPECT_TRUE(device().in_monitor());
  EXPECT_FALSE(acked({0xFE}, 5));
  EXPECT_EQ(identify(), "QV82HS-BL");
}

TEST_F(Monitor, ChecksRecordsProgramsFlashAndRestartsWithTheNewRevision) {
  device().enter_monitor();
  struct Step {
    Bytes frame;
    std::string status;
  };
  const Step steps[] = {
      {header("QV82HS-XX", "QV82HS-2.00"), "1"},
      {record('0', {0, 0}, text_to_bytes("QV82HS-BL"), 1), "3"},
      {header("QV82HS-BL", "QV82HS-2.00"), "0"},
      {record('1', {0x80, 0x00}, {0xDE, 0xAD}), "0"},
      {record('2', {0x01, 0x00, 0x10}, {0x42}), "0"},
      {record('1', {0x80, 0x02}, {0x99}, 5), "3"},
      {record('9', {0x80, 0x00}, {}), "0"},
  };
  for (const Step& step : steps) EXPECT_EQ(status(step.frame), step.status);

  const std::map<std::uint32_t, std::uint8_t> flash = {
      {0x8000, 0xDE}, {0x8001, 0xAD}, {0x010010, 0x42}};
  EXPECT_EQ(device().monitor().flash(), flash);
  EXPECT_FALSE(device().in_monitor());
  EXPECT_EQ(ask({0xF1}, 5), text_to_bytes("QV82HS-2.00"));
}

TEST_F(Monitor, InjectedFailuresRepeatForTheGivenRecord) {
  device().enter_monitor();
  device().monitor().fail_record(2, '6', 2);
  EXPECT_EQ(status(header("QV82HS-BL", "")), "0");
  EXPECT_EQ(status(record('1', {0, 0}, {1})), "0");
  for (const char* expected : {"6", "6", "0"}) {
    EXPECT_EQ(status(record('1', {0, 1}, {2}), 20), expected);
  }
  EXPECT_EQ(status(record('9', {0, 0}, {})), "0");
  EXPECT_EQ(ask({0xF1}, 5), text_to_bytes("QV82HS-1.02")) << "no revision text: unchanged";
}

SetupOptions fast_monitor_only() {
  SetupOptions options;
  options.device.start_in_monitor = true;
  options.device.monitor_rates = {38400};
  return options;
}

class FastMonitor : public Monitor {
 protected:
  FastMonitor() : Monitor(fast_monitor_only()) {}
};

TEST_F(FastMonitor, AnswersOnlyAtItsRates) {
  EXPECT_EQ(identify(), "");
  link.set_baud_rate(38400);
  EXPECT_EQ(identify(), "QV82HS-BL");
  EXPECT_EQ(status(header("QV82HS-BL", "")), "0");
  EXPECT_EQ(status(record('9', {0, 0}, {})), "0");
  link.set_baud_rate(9600);
  EXPECT_TRUE(acked({0xFE}, 5)) << "the application runs at 9600 again";
}

}  // namespace
}  // namespace qv82::sim
