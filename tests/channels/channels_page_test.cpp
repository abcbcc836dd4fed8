#include "channels/channels_page.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/errors.h"

namespace qv82 {
namespace {

class ChannelsPageTest : public ::testing::Test {
 protected:
  ChannelBuffer buffer;
  ChannelsPage page{buffer};
};

TEST_F(ChannelsPageTest, EditSurvivesSwitchingAwayAndBack) {
  page.change_channel(3);
  page.mark_modified();
  page.view.parameters[0] = 77;
  page.view.value = 500;
  EXPECT_EQ(page.change_channel(5), kChannelsSectionBit);
  EXPECT_EQ(buffer[2][0], 77);
  EXPECT_EQ(buffer[2][30], 0x01);
  EXPECT_EQ(buffer[2][31], 0xF4);
  EXPECT_EQ(page.view.parameters[0], 255);

  page.change_channel(3);
  EXPECT_EQ(page.view.parameters[0], 77);
  EXPECT_EQ(page.view.value, 500);
  EXPECT_EQ(buffer[4], erased_channel_record());
}

TEST_F(ChannelsPageTest, UneditedPageLeavesTheBufferAlone) {
  buffer[1][0] = 9;  // e.g. a file load after the page was drawn
  page.view.parameters[0] = 1;
  page.change_channel(2);
  EXPECT_EQ(buffer[0], erased_channel_record());
  EXPECT_EQ(page.view.parameters[0], 9);
}

TEST_F(ChannelsPageTest, HiddenStatusBitsComeBackUnchanged) {
  buffer[6][26] = 0xF5;
  page.change_channel(7);
  page.mark_modified();
  page.change_channel(8);
  EXPECT_EQ(buffer[6][26], 0xF5);

  // A bit added by coin programming does not survive showing the channel again.
  buffer[6][26] = 0x35;
  page.status_high_bits[6] |= 0x80;
  page.show_channel(7);
  EXPECT_EQ(page.status_high_bits[6], 0x30);
}

TEST_F(ChannelsPageTest, DamagedRecordIsReportedAndLeavesTheViewAsItWas) {
  page.view.value = 42;
  buffer[3] = Bytes(31, 0);
  EXPECT_THROW(page.show_channel(4), ConversionError);
  EXPECT_EQ(page.view.value, 42);
  EXPECT_THROW(page.change_channel(17), std::out_of_range);
}

TEST_F(ChannelsPageTest, TextShowsEveryField) {
  Bytes record = erased_channel_record();
  record[0] = 7;
  record[13] = 123;
  const Bytes tail = {0x05, 3, 2, 0xDC, 1, 2};  // status, Dir., CC, CVF and Mint, Val.
  std::copy(tail.begin(), tail.end(), record.begin() + 26);
  buffer[9] = record;
  page.change_channel(10);
  const std::string text = channel_text(page.view, 10);
  for (const char* part : {"Channel 10\n", "Parameter       7  255", "Tollerance    123  255",
                           "ccTalk: yes  Sel.: yes  Fake: no  En.: no\n", "Dir.: 3\n",
                           "Val.: 258\n"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
  }
  EXPECT_NE(channel_text(StrToChannel(erased_channel_record()).view, 1).find("Dir.: -\n"),
            std::string::npos);
}

}  // namespace
}  // namespace qv82
