#include "config/config_image.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "channels/channels_page.h"
#include "config/parameter_tree.h"
#include "link/errors.h"

namespace qv82 {
namespace {

// The installation's template with texts put in, over images and a
// channels page; the modes byte applied is recorded.
class ConfigImageTest : public ::testing::Test {
 protected:
  ConfigImageTest() : channels(buffer), image(tree, images, channels) {
    tree.load_file(QV82_SOURCE_DIR "/data/template.xml");
    images.param_image = std::string(36, '5') + std::string(18, 'N');
    images.io_text.fill("1111111111111111NNNN");
    images.stat_options_image = std::string(40, '7');
    images.stat_counters_image = std::string(120, '8');
    image.hooks.apply_modes_byte = [this](std::uint8_t m) { modes.push_back(m); };
  }

  // A file's items: the given texts checked, everything else unavailable.
  void load(const std::map<std::string, std::string>& texts) {
    for (std::size_t node = 0; node < tree.node_count(); ++node) {
      const auto found = texts.find(tree.attribute(node, "address"));
      tree.set_text(node, found == texts.end() ? "" : found->second);
      tree.set_state(node, found == texts.end() ? CheckState::kUnavailable : CheckState::kChecked);
    }
  }
  ChannelBuffer buffer;
  ParameterTree tree;
  WorkingImages images;
  ChannelsPage channels;
  ConfigImage image;
  Bytes modes;
};

const std::string kRecord = "0A0B0C0D0E0F101112131415161718191A1B1C1D1E1F20212223242526272829";

TEST_F(ConfigImageTest, ItemsReachTheirImagesInTheOrderOfTheSteps) {
  load({{"0x0590", kRecord},
        {"0x07A8", "81010100000000FF"},
        {"0x07AA", "03"},
        {"0x07FD", "0A"},
        {"0x07B3", "0B"},
        {"0x081B", "11"},
        {"0x0833", "00002A"}});
  channels.channel_number = 2;
  image.xml_2_screen();

  EXPECT_EQ(bytes_to_hex(buffer[1]), kRecord);
  EXPECT_EQ(buffer[0], Bytes(32, 0xFF));
  EXPECT_EQ(channels.view, StrToChannel(hex_to_bytes(kRecord)).view) << "channel box shown";
  EXPECT_EQ(images.io_text[7], "81010100000000FF");
  EXPECT_EQ(images.io_text[0], "1111111111111111NNNN");
  // "DIP sw mode" (parameter 11) and "Inhibit time" (17) at their own places.
  EXPECT_EQ(images.param_image.substr(20, 2), "03");
  EXPECT_EQ(images.param_image.substr(32, 2), "0A");
  EXPECT_EQ(images.param_image.substr(0, 2), "55");
  EXPECT_EQ(images.stat_options_image, "FF11" + std::string(36, 'F'));
  EXPECT_EQ(images.stat_counters_image, "00000000002A" + std::string(108, '0'));
  EXPECT_EQ(modes, Bytes{0x0B});
}

TEST_F(ConfigImageTest, ChannelsOnlyLeaveEverythingElseAlone) {
  const WorkingImages before = images;
  load({{"0x0570", kRecord}});
  image.xml_2_screen();
  EXPECT_EQ(images.io_text, before.io_text);
  EXPECT_EQ(images.param_image, before.param_image);
  // Rebuilt from nothing, the options would read as changed and the next
  // statistics Write would erase the counters.
  EXPECT_EQ(images.stat_options_image, before.stat_options_image);
  EXPECT_EQ(images.stat_counters_image, before.stat_counters_image);
  EXPECT_TRUE(modes.empty());
}

TEST_F(ConfigImageTest, DamagedItemsChangeNothing) {
  const std::vector<std::map<std::string, std::string>> damaged = {
      {{"0x0570", kRecord}, {"0x0590", "0A0B"}},    // not a whole record
      {{"0x0570", kRecord}, {"0x0770", "12XY"}},    // not hex
      {{"0x0570", kRecord}, {"0x0770", "81010100000000FF00"}},  // longer than its length
      {{"0x0570", kRecord}, {"0x081A", "1"}},       // option of one digit
      {{"0x0570", kRecord}, {"0x07F0", "2"}},       // parameter of one digit
  };
  for (const auto& texts : damaged) {
    load(texts);
    const WorkingImages before = images;
    EXPECT_THROW(image.xml_2_screen(), ConversionError) << texts.rbegin()->first;
    EXPECT_EQ(buffer[0], Bytes(32, 0xFF));
    EXPECT_EQ(images.param_image, before.param_image);
    EXPECT_EQ(images.io_text, before.io_text);
  }
}

}  // namespace
}  // namespace qv82
