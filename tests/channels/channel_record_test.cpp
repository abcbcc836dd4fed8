#include "channels/channel_record.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "channels/channel_lists.h"
#include "channels/country_list.h"
#include "link/errors.h"

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
  for (int k = 0; k < 13; ++k) {
    EXPECT_EQ(d.view.parameters[k], 255);
    EXPECT_EQ(d.view.tolerances[k], 255);
  }
  EXPECT_FALSE(d.view.enabled);
  EXPECT_TRUE(d.view.fake);
  EXPECT_TRUE(d.view.selective);
  EXPECT_FALSE(d.view.cctalk);
  EXPECT_EQ(d.view.direction, -1);
  EXPECT_EQ(country_list()[d.view.country], ".. - not programmed");
  EXPECT_EQ(list_item(cvf_list(CvfListKind::kChannelsPage), d.view.cvf), "...");
  EXPECT_EQ(list_item(mint_list(), d.view.mint), ".");
  EXPECT_EQ(d.view.value, 65535);
  EXPECT_EQ(d.status_high_bits, 0xF0);
  EXPECT_EQ(ChannelToStr(d.view, d.status_high_bits), erased_channel_record());
}

// Stored bytes that the view cannot show exactly come back in their canonical form.
TEST(ChannelRecord, OutOfRangeBytesAreWrittenBackCanonically) {
  struct Case {
    int offset;
    std::uint8_t stored;
    std::uint8_t written;
  };
  const Case cases[] = {
      {28, 180, 180}, {28, 181, 255}, {28, 200, 255},   {28, 255, 255},   {27, 8, 8},
      {27, 9, 255},   {27, 254, 255}, {29, 0x1C, 0xDC}, {29, 0x3F, 0xFF},
  };
  for (const Case& c : cases) {
    Bytes record = sample_record();
    record[c.offset] = c.stored;
    const DecodedChannel d = StrToChannel(record);
    Bytes expected = record;
    expected[c.offset] = c.written;
    EXPECT_EQ(ChannelToStr(d.view, d.status_high_bits), expected)
        << "offset " << c.offset << " stored " << int(c.stored);
  }
}

TEST(ChannelRecord, FieldsDecodeAsTheViewShowsThem) {
  Bytes record = sample_record();
  record[29] = 0x1C;
  record[30] = 0x01;
  record[31] = 0x02;
  const ChannelView v = StrToChannel(record).view;
  EXPECT_EQ(v.parameters[0], 10);
  EXPECT_EQ(v.parameters[12], 22);
  EXPECT_EQ(v.tolerances[0], 23);  // the tolerances are a run of their own after the parameters
  EXPECT_EQ(v.tolerances[12], 35);
  EXPECT_EQ(list_item(cvf_list(CvfListKind::kChannelsPage), v.cvf), "1K0");
  EXPECT_EQ(list_item(cvf_list(CvfListKind::kCoinProgramming), v.cvf), "...");
  EXPECT_EQ(list_item(mint_list(), v.mint), "B");
  EXPECT_EQ(v.value, 258);
  EXPECT_EQ(v.direction, 2);
  EXPECT_EQ(country_list()[v.country], "EU - EURO ");
}

TEST(ChannelRecord, StatusBitsMapToTheCheckBoxes) {
  struct Case {
    std::uint8_t status;
    bool cctalk, selective, fake, enabled;
  };
  const Case cases[] = {
      {0x05, true, true, false, false},
      {0x0A, false, false, true, true},
      {0x00, true, false, false, true},
      {0x0F, false, true, true, false},
  };
  for (const Case& c : cases) {
    Bytes record = sample_record();
    record[26] = c.status;
    const ChannelView v = StrToChannel(record).view;
    EXPECT_EQ(v.cctalk, c.cctalk) << int(c.status);
    EXPECT_EQ(v.selective, c.selective) << int(c.status);
    EXPECT_EQ(v.fake, c.fake) << int(c.status);
    EXPECT_EQ(v.enabled, c.enabled) << int(c.status);
    // Coin programming writes 0111 into bits 4-7 whatever was read.
    EXPECT_EQ(ChannelToStr(v, kCoinProgrammingStatusBase)[26], 0x70 | c.status);
  }
}

TEST(ChannelRecord, ViewNumbersKeepOnlyWhatTheirBytesHold) {
  ChannelView v = StrToChannel(sample_record()).view;
  v.parameters[3] = 300;
  v.tolerances[0] = 256;
  v.value = 258;
  v.direction = -1;
  v.country = -1;
  v.cvf = -1;
  v.mint = -1;
  const Bytes r = ChannelToStr(v, 0);
  ASSERT_EQ(r.size(), 32u);
  EXPECT_EQ(r[3], 44);
  EXPECT_EQ(r[13], 0);
  EXPECT_EQ(r[27], 255);
  EXPECT_EQ(r[28], 255);
  EXPECT_EQ(r[29], 0xFF);  // no selection: CVF 15, mint 3
  EXPECT_EQ(r[30], 0x01);
  EXPECT_EQ(r[31], 0x02);
}

TEST(ChannelRecord, RecordOfWrongLengthIsRejected) {
  EXPECT_THROW(StrToChannel(Bytes(31, 0xFF)), ConversionError);
  EXPECT_THROW(StrToChannel(Bytes(33, 0xFF)), ConversionError);
  EXPECT_THROW(StrToChannel(Bytes()), ConversionError);
}

TEST(ChannelLists, CountryListKeepsTheStoredPositions) {
  const auto& list = country_list();
  const std::pair<int, std::string_view> rows[] = {
      {0, "TK - Token "},
      {1, "EU - EURO "},
      {36, "CF - Central African Rep.(XAF = CF) "},
      {181, ".. - not programmed"},
  };
  for (const auto& [i, text] : rows) EXPECT_EQ(list[i], text) << i;
  EXPECT_EQ(country_code(180), "ZW");
  std::set<std::string_view> codes;
  for (int i = 0; i < kCountryCount; ++i) {
    EXPECT_EQ(list[i].substr(2, 3), " - ") << i;
    codes.insert(country_code(i));
  }
  EXPECT_EQ(codes.size(), 182u);
}

}  // namespace
}  // namespace qv82
