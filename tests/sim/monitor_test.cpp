// The boot monitor: checking records, programming flash, leaving it.
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
  std::string status(const Bytes& frame, int polls = 300) {
    Bytes reply;
    if (link.raw_transfer(frame, 1, polls, reply) != kRawOk) return "timeout";
    return bytes_to_text(reply);
  }
};

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

}  // namespace
}  // namespace qv82::sim
