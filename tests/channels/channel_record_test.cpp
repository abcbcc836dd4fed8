#include "channels/channel_record.h"

#include <gtest/gtest.h>

#include <string>

#include "channels/country_list.h"

namespace qv82 {
namespace {

Bytes sample_record() {
  Bytes r(32);
  for (int i = 0; i < 26; ++i) r[i] = static_cast<std::uint8_t>(10 + i);
  r[26] = 0x30;  // enabled, ccTalk on, high bits 0011
  r[27] = 2;
  r[28] = 1;     // EU
  r[29] = 0xC7;  // CVF 7, mint A
  r[30] = 0x00;
  r[31] = 50;
  return r;
}

TEST(ChannelRecord, ErasedRecordShowsNothingProgrammedAndSurvivesTheRoundTrip) {
  const DecodedChannel d = StrToChannel(erased_channel_record());
  ChannelView nothing;  // disabled, ccTalk off, no direction
  nothing.parameters.fill(255);
  nothing.tolerances.fill(255);
  nothing.fake = nothing.selective = true;
  nothing.country = kCountryNotProgrammed;
  nothing.cvf = 15;  // "..."
  nothing.mint = 3;  // "."
  nothing.value = 65535;
  EXPECT_EQ(d.view, nothing);
  EXPECT_EQ(d.status_high_bits, 0xF0);
  EXPECT_EQ(ChannelToStr(d.view, d.status_high_bits), erased_channel_record());
}

// A byte of the record as its field shows it, and what goes back once the field holds typed:
// numbers keep what their byte holds, a stored byte the view cannot show comes back canonical.
TEST(ChannelRecord, EachByteIsShownInItsFieldAndWrittenBackInItsOwnForm) {
  using Field = int& (*)(ChannelView&);
  const Field parameter_4 = [](ChannelView& v) -> int& { return v.parameters[3]; };
  const Field parameter_13 = [](ChannelView& v) -> int& { return v.parameters[12]; };
  const Field tolerance_1 = [](ChannelView& v) -> int& { return v.tolerances[0]; };
  const Field tolerance_13 = [](ChannelView& v) -> int& { return v.tolerances[12]; };
  const Field direction = [](ChannelView& v) -> int& { return v.direction; };
  const Field country = [](ChannelView& v) -> int& { return v.country; };
  const Field cvf = [](ChannelView& v) -> int& { return v.cvf; };
  const Field mint = [](ChannelView& v) -> int& { return v.mint; };
  const Field value = [](ChannelView& v) -> int& { return v.value; };
  struct Case {
    int offset;
    std::uint8_t stored;
    Field field;
    int shown, typed;
    std::uint8_t written;
  };
  const Case cases[] = {
      {3, 13, parameter_4, 13, 300, 44}, {12, 22, parameter_13, 22, 22, 22},
      {13, 23, tolerance_1, 23, 256, 0}, {25, 35, tolerance_13, 35, 35, 35},
      {27, 8, direction, 8, 8, 8},       {27, 9, direction, -1, -1, 255},
      {27, 254, direction, -1, -1, 255}, {27, 2, direction, 2, -1, 255},
      {28, 180, country, 180, 180, 180}, {28, 181, country, 181, 181, 255},
      {28, 200, country, 181, 181, 255}, {28, 1, country, 1, -1, 255},
      {29, 0x1C, cvf, 12, 12, 0xDC},     {29, 0x1C, mint, 1, -1, 0xFC},
      {29, 0x3F, cvf, 15, -1, 0xFF},     {30, 0x01, value, 306, 0x10332, 0x03},
      {31, 0x02, value, 2, 2, 0x02},
  };
  for (const Case& c : cases) {
    Bytes record = sample_record();
    record[c.offset] = c.stored;
    DecodedChannel d = StrToChannel(record);
    EXPECT_EQ(c.field(d.view), c.shown) << "offset " << c.offset << " stored " << int(c.stored);
    c.field(d.view) = c.typed;
    record[c.offset] = c.written;
    EXPECT_EQ(ChannelToStr(d.view, d.status_high_bits), record)
        << "offset " << c.offset << " typed " << c.typed;
  }
}

// The check boxes as ccTalk, Sel., Fake, En.: a letter when ticked.
TEST(ChannelRecord, StatusBitsMapToTheCheckBoxes) {
  const std::pair<std::uint8_t, std::string> cases[] = {
      {0x05, "CS--"}, {0x0A, "--FE"}, {0x00, "C--E"}, {0x0F, "-SF-"}};
  for (const auto& [status, ticked] : cases) {
    Bytes record = sample_record();
    record[26] = status;
    const ChannelView v = StrToChannel(record).view;
    EXPECT_EQ(std::string({v.cctalk ? 'C' : '-', v.selective ? 'S' : '-', v.fake ? 'F' : '-',
                           v.enabled ? 'E' : '-'}),
              ticked)
        << int(status);
    // Coin programming writes 0111 into bits 4-7 whatever was read.
    EXPECT_EQ(ChannelToStr(v, kCoinProgrammingStatusBase)[26], 0x70 | status);
  }
}

}  // namespace
}  // namespace qv82
