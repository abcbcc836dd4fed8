#include "link/log_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "link/cctalk_link.h"
#include "link/comm_log.h"
#include "support/temp_dir.h"

namespace qv82 {
namespace {

std::string sent(const Bytes& command) { return "-> " + bytes_to_hex(build_frame(2, command)); }

// The device's answer: to the host, from address 2.
std::string received(std::uint8_t header, const Bytes& data = {}) {
  Bytes frame{1, static_cast<std::uint8_t>(data.size()), 2, header};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(cctalk_checksum(frame.data(), frame.size()));
  return "<- " + bytes_to_hex(frame);
}

Bytes counted(std::uint8_t first, std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
  return bytes;
}

struct Line {
  std::string line;
  std::string explanation;
};

// One log, decoded line by line in order: a reply is read against the
// request before it, and the base year read once dates the later dates.
TEST(LogDecoder, ExplainsEveryRequestTheProgramSendsAndItsReply) {
  const Bytes masks{0x0F, 0x1F, 0x00, 0x01};
  const Bytes channel4 = counted(0x10, 32);
  const std::vector<Line> log = {
      {sent({0xFE}), "sent 1 to 2: simple poll"},
      {received(0x00), "received 2 to 1: ACK to simple poll"},
      {"-> 000001FD02", "sent 1 to 0: address poll"},
      {sent({0xF6}), "sent 1 to 2: request manufacturer id"},
      {received(0x00, text_to_bytes("Corvanti")),
       "received 2 to 1: ACK to request manufacturer id: \"Corvanti\""},
      {sent({0xF2}), "sent 1 to 2: request serial number"},
      {received(0x00, {0x40, 0xE2, 0x01}),
       "received 2 to 1: ACK to request serial number: serial number 123456"},
      {sent({0xC4}), "sent 1 to 2: request creation date"},
      {received(0x00, {0x0E, 0x69}),
       "received 2 to 1: ACK to request creation date: date (base year + 7)/3/9"},
      {sent({0xAA}), "sent 1 to 2: request base year"},
      {received(0x00, text_to_bytes("2000")),
       "received 2 to 1: ACK to request base year: base year 2000"},
      {sent({0xC3}), "sent 1 to 2: request last modification date"},
      {received(0x00, {0x0E, 0x69}),
       "received 2 to 1: ACK to request last modification date: date 2007/3/9"},
      {sent({0xFF, 0x02, 0x07, 0xEB, 0x04}),
       "sent 1 to 2: vendor: read memory 0x07EB, 4 bytes: modes, access masks"},
      {received(0x00, masks),
       "received 2 to 1: ACK to vendor: read memory: 4 bytes: 0x07EB modes, access masks: "
       "0F1F0001"},
      {sent({0xFF, 0x01, 9, 8, 7, 6, 5, 4}),
       "sent 1 to 2: vendor: unlock response response 090807060504"},
      {received(0x05), "received 2 to 1: NAK to vendor: unlock response"},
      {sent({0xFF, 0x02, 0x05, 0xD0, 0x20}),
       "sent 1 to 2: vendor: read memory 0x05D0, 32 bytes: channel 4"},
      {received(0x00, channel4),
       "received 2 to 1: ACK to vendor: read memory: 32 bytes: 0x05D0 "
       "channel 4: " +
           bytes_to_hex(channel4)},
      // A read across two areas names both, and cuts the bytes where they meet.
      {sent({0xFF, 0x02, 0x07, 0x6E, 0x04}),
       "sent 1 to 2: vendor: read memory 0x076E, 4 bytes: channel 16, I/O record 1 Output1"},
      {received(0x00, {0xA1, 0xA2, 0xB1}),
       "received 2 to 1: ACK to vendor: read memory: 3 bytes (asked for 4): 0x076E channel 16: "
       "A1A2; 0x0770 I/O record 1 Output1: B1"},
      {sent({0xFF, 0x03, 0x07, 0xF0, 0x05}),
       "sent 1 to 2: vendor: write memory 0x07F0, 1 byte: common parameters = 0x07F0 common "
       "parameters: 05"},
      {received(0x05), "received 2 to 1: NAK to vendor: write memory"},
      {sent({0xFF, 0x04}), "sent 1 to 2: vendor: analogue values"},
      {received(0x00, {0x01, 0x02, 0x00, 0x10, 50, 60, 70, 80, 90, 75, 23}),
       "received 2 to 1: ACK to vendor: analogue values: regulator 1 duty 258, regulator 2 duty "
       "16, AM1 50, PH1 60, AM2 70, PH2 80, PI3 90, Vcc 75, T 23"},
      {sent({0xE5}), "sent 1 to 2: read buffered credit or error codes"},
      {received(0x00, {3, 5, 0, 0, 2, 2, 0}),
       "received 2 to 1: ACK to read buffered credit or error codes: event counter 3; events: "
       "coin 5, rejected, code 2, coin 2"},
      // What the program never sends is still named, never an error.
      {sent({0x11, 0xAB}), "sent 1 to 2: unknown header 17, data AB"},
      {received(0x00, {0x01}), "received 2 to 1: ACK to header 17, data 01"},
      // A reply with no request before it is shown on its own.
      {received(0x00, {0x01}), "received 2 to 1: ACK, data 01"},
  };
  LogDecoder decoder;
  for (const Line& line : log) EXPECT_EQ(decoder.explain(line.line), line.explanation) << line.line;
}

// The monitor speaks no frames: "V", records 55 type bytes, one status digit.
// Damaged frames and other text are marked, never an error.
TEST(LogDecoder, ExplainsTheMonitorTrafficAndMarksDamagedFrames) {
  const std::vector<Line> log = {
      {"-> 56", "sent: monitor identification request \"V\""},
      {"<- " + bytes_to_hex(text_to_bytes("QV82HS100")),
       "received: monitor identification \"QV82HS100\""},
      {"-> 5530" + bytes_to_hex(Bytes{0x0C, 0x00, 0x00}) +
           bytes_to_hex(text_to_bytes("QV82HS100")) + "7A",
       "sent: monitor record S0, address 0x0000, 9 data bytes, device \"QV82HS100\""},
      {"<- 30", "received: monitor status 0: record accepted"},
      {"-> 5531071000AABBCCDDEE", "sent: monitor record S1, address 0x1000, 4 data bytes"},
      {"-> 5532081000AABBCCDDEE", "sent: monitor record S2, address 0x1000AA, 3 data bytes"},
      {"-> 02", "sent, incomplete frame of 1 byte"},
      {"<- 010002000C", "received 2 to 1: ACK [checksum wrong]"},
      {"<- 0104020041", "received 2 to 1: ACK, data 41 [incomplete frame, 5 of 9 bytes]"},
      {"<- 01000200FD00", "received 2 to 1: ACK [1 byte beyond the frame]"},
      {"<- ", "received: nothing"},
      {"Coin selector found", "not a log line"},
  };
  LogDecoder decoder;
  for (const Line& line : log) EXPECT_EQ(decoder.explain(line.line), line.explanation) << line.line;
}

// A log from the field may hold anything: every line gets a text, none
// throws or reads past its bytes (the sanitizer build watches the latter).
TEST(LogDecoder, AnyLineIsExplainedWithoutFailing) {
  std::mt19937 random(17);
  LogDecoder decoder;
  for (int i = 0; i < 5000; ++i) {
    Bytes bytes(random() % 24);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
    // Often a well-formed frame, so the request tables are reached too.
    if (bytes.size() >= 4 && random() % 2) {
      bytes[1] = static_cast<std::uint8_t>(bytes.size() - 5 + random() % 3);
      if (random() % 2) bytes[3] = random() % 2 ? 0xFF : 0x00;
      if (random() % 2) bytes.back() = cctalk_checksum(bytes.data(), bytes.size() - 1);
    }
    const std::string line = (random() % 2 ? "-> " : "<- ") + bytes_to_hex(bytes);
    EXPECT_FALSE(decoder.explain(line).empty()) << line;
  }
}

TEST(LogDecoder, SavesRawLinesOrLinesWithExplanations) {
  test::TempDir dir;
  dir.write("explained.txt", "former content that is longer than the log\n");
  CommLog log;
  log.add_log_line("-> 020001FEFF");
  log.add_log_line("<- 01000200FD");
  std::string error;
  ASSERT_TRUE(log.save_to_file(dir.file("explained.txt"), error, true)) << error;
  EXPECT_EQ(dir.read("explained.txt"),
            "-> 020001FEFF                 sent 1 to 2: simple poll\n"
            "<- 01000200FD                 received 2 to 1: ACK to simple poll\n");

  // A line saved with its explanation reads as the raw line it came from.
  EXPECT_EQ(LogDecoder().explain("-> 020001FEFF     sent 1 to 2: simple poll"),
            "sent 1 to 2: simple poll");

  // Explanations stay beside their lines when the oldest are dropped.
  for (std::size_t i = 0; i < CommLog::kMaxLines; ++i) log.add_log_line("-> 56");
  ASSERT_EQ(log.explanations().size(), log.lines().size());
  EXPECT_EQ(log.explanations().front(), "sent: monitor identification request \"V\"");
}

}  // namespace
}  // namespace qv82
