#include "config/config_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/parameter_tree.h"

namespace qv82 {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kTemplate = QV82_SOURCE_DIR "/data/template.xml";

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("qv82_cfg_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  std::string write(const std::string& name, const std::string& content) const {
    std::ofstream(path(name), std::ios::binary) << content;
    return path(name);
  }
  static std::string read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Puts data at an address the way the screens do: the item, its group
  // and the group around it are checked.
  static void put(ParameterTree& tree, const std::string& address, const std::string& text) {
    const std::size_t node = tree.find_by_address(address);
    ASSERT_NE(node, ParameterTree::kNotFound) << address;
    tree.set_text(node, text);
    for (std::size_t n = node, level = 0; level < 3 && n != ParameterTree::kNotFound;
         ++level, n = tree.parent(n))
      tree.set_state(n, CheckState::kChecked);
  }
  static std::string channel_address(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", 0x0570 + 32 * (n - 1));
    return text;
  }

  fs::path dir_;
};

TEST_F(ConfigFileTest, FormatMarker) {
  EXPECT_TRUE(has_format_marker(kTemplate));
  EXPECT_TRUE(has_format_marker(write("a.xml", "<r>\r\n<x format=\"QV31/QV82\"/>")));
  EXPECT_FALSE(
      has_format_marker(write("b.xml", "<r format=\"QV31/QV8\">\nformat=\"QV31/\nQV82\"")));
  EXPECT_FALSE(has_format_marker(write("c.xml", "")));
  EXPECT_THROW(has_format_marker(path("missing.xml")), ConfigFileError);
  EXPECT_THROW(has_format_marker(dir_.string()), ConfigFileError);
}

TEST(ConfigFileMerge, KeyIsTheFourAddressDigitsAndTheFirstMatchWins) {
  const Lines template_lines = {
      "<MachineData>",
      "<Data caption=\"0x0570\" address=\"0x0570\" length=\"32\"></Data>",
      "<Data caption=\"Channel 2\" address=\"0x0590\" length=\"32\"></Data>",
      "<Data caption=\"Channel 3\" address=\"0x05B0\" length=\"32\"></Data>",
      "<Data caption=\"Channel 4\" address=\"0x05D0\" length=\"32\"></Data>",
      "</MachineData>",
  };
  const Lines chosen = {
      "<Data caption=\"old\" address=\"0x0590\" length=\"32\">AABB</Data>",
      "<Data caption=\"coin 05B0\" address=\"0x0999\" length=\"1\">11</Data>",  // caption matches
      "<Data caption=\"x\" address=\"0x05B0\" length=\"32\">22</Data>",
      "<Data caption=\"y\" address=\"0x0111\">05D0</Data>",  // digits only after ">"
      "05D0 without a tag end",
  };
  const Lines merged = merge_lines(template_lines, chosen);
  EXPECT_EQ(merged, (Lines{
                        template_lines[0],
                        template_lines[1],
                        "<Data caption=\"Channel 2\" address=\"0x0590\" length=\"32\">AABB</Data>",
                        "<Data caption=\"Channel 3\" address=\"0x05B0\" length=\"32\">11</Data>",
                        template_lines[4],
                        template_lines[5],
                    }));
}

TEST_F(ConfigFileTest, SaveWithOnlyChannelsWritesTheChannelGroupAndReopens) {
  ParameterTree tree;
  tree.load_file(kTemplate);
  for (int n = 1; n <= 16; ++n)
    put(tree, channel_address(n), n == 16 ? "" : std::string(64, 'A' + n % 6));
  put(tree, "0x07F0", "05");
  tree.set_state(tree.find_by_address("0x07F0"), CheckState::kUnchecked);

  const std::string written = write_configuration(kTemplate, tree, path("config.txt"));
  EXPECT_EQ(written, path("config.xml"));
  EXPECT_FALSE(fs::exists(path("config.txt")));
  const std::string content = read(written);
  ASSERT_GE(content.size(), 2u);
  EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\n') {
      ASSERT_EQ(content[i - 1], '\r') << "at " << i;
    }
  }

  const Lines lines = read_text_lines(written);
  ASSERT_EQ(lines.size(), 3u + 1u + 16u + 2u);
  EXPECT_EQ(lines[0], "<?xml version=\"1.0\"?>");
  EXPECT_NE(lines[1].find("format=\"QV31/QV82\""), std::string::npos);
  EXPECT_EQ(lines[3], "  <Group caption=\"Channels\">");
  EXPECT_EQ(lines[4], "    <Data caption=\"0x0570\" address=\"0x0570\" length=\"32\">" +
                          std::string(64, 'B') + "</Data>");
  EXPECT_EQ(lines[19], "    <Data caption=\"Channel 16\" address=\"0x0750\" length=\"32\"></Data>");
  EXPECT_EQ(lines[20], "  </Group>");
  EXPECT_EQ(lines[21], "</MachineData>");

  // Opening: only the channels come back; everything else cannot be chosen.
  merge_into_temporary(kTemplate, written, path("temporary.xml"));
  ParameterTree opened;
  opened.load_file(path("temporary.xml"));
  EXPECT_EQ(opened.node_count(), tree.node_count());
  const std::size_t ch2 = opened.find_by_address("0x0590");
  EXPECT_EQ(opened.text(ch2), std::string(64, 'C'));
  EXPECT_EQ(opened.state(ch2), CheckState::kChecked);
  EXPECT_EQ(opened.state(opened.find_by_address("0x0750")), CheckState::kUnavailable);
  EXPECT_EQ(opened.state(opened.find_by_address("0x07F0")), CheckState::kUnavailable);
  EXPECT_EQ(opened.state(opened.find_by_caption("I/O configuration")), CheckState::kUnavailable);
}

TEST(ConfigTemplate, ListsTheMemoryMapInTheFormTheFilesRelyOn) {
  std::vector<std::pair<int, int>> items;  // address, length
  for (int n = 0; n < 16; ++n) items.emplace_back(0x0570 + 32 * n, 32);
  for (int k = 0; k < 8; ++k) items.emplace_back(0x0770 + 8 * k, 8);
  for (int a : {0x07AA, 0x07B3, 0x07F0, 0x07F1, 0x07F2, 0x07F3, 0x07F4, 0x07F7, 0x07FA, 0x07FB,
                0x07FC, 0x07FD, 0x0800, 0x0801, 0x0805, 0x0808, 0x0809, 0x080A, 0x080C})
    items.emplace_back(a, 1);
  for (int i = 0; i < 20; ++i)
    items.emplace_back(0x081A + i, 1), items.emplace_back(0x0830 + 3 * i, 3);

  ParameterTree tree;
  tree.load_file(kTemplate);
  EXPECT_EQ(tree.caption(0), "All data");
  for (const auto& [address, length] : items) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", address);
    const std::size_t node = tree.find_by_address(text);
    ASSERT_NE(node, ParameterTree::kNotFound) << text;
    EXPECT_EQ(tree.attribute(node, "length"), std::to_string(length)) << text;
  }
  // The group of each section is the node just before its first item.
  for (const char* first : {"0x0570", "0x0770", "0x07F0", "0x081A"}) {
    const std::size_t node = tree.find_by_caption(first);
    ASSERT_NE(node, ParameterTree::kNotFound) << first;
    EXPECT_EQ(tree.item(node - 1).Name, "Group") << first;
    EXPECT_EQ(tree.parent(node), node - 1) << first;
  }
  EXPECT_EQ(tree.item(tree.find_by_caption("0x0770") - 2).Name, "Group");

  // Line by line: the key and the address text are found where the files
  // look for them, and no other line's tag holds the same key.
  const Lines lines = read_text_lines(kTemplate);
  std::size_t data_lines = 0;
  for (const std::string& line : lines) {
    if (line.find("Data caption") == std::string::npos) continue;
    ++data_lines;
    const std::size_t address = line.find("address=\"0x");
    ASSERT_NE(address, std::string::npos) << line;
    const std::string key = line.substr(address + 11, 4);
    const std::size_t begin = line.find("0x0");
    EXPECT_EQ(line.substr(begin, line.find('"', begin) - begin), "0x" + key) << line;
    const std::string caption = tree.attribute(tree.find_by_address("0x" + key), "caption");
    for (const char* word : {"address", "length", "caption"})
      EXPECT_EQ(caption.find(word), std::string::npos) << line;
    for (const std::string& other : lines) {
      if (other.substr(0, other.find('>')).find(key) != std::string::npos) {
        EXPECT_EQ(other, line) << "first match for " << key;
        break;
      }
    }
  }
  EXPECT_EQ(data_lines, items.size());
}

TEST_F(ConfigFileTest, ForceXmlExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"a.txt", "a.xml"}, {"a", "a.xml"},         {"a.xml", "a.xml"},
      {"a.", "a.xml"},    {"d.x/a", "d.x/a.xml"}, {"a.tar.gz", "a.tar.xml"},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(force_xml_extension(name), expected);
}

TEST_F(ConfigFileTest, FailedSaveLeavesTheOldFileIntact) {
  ParameterTree tree;
  tree.load_file(kTemplate);
  for (int n = 1; n <= 16; ++n) put(tree, channel_address(n), std::string(64, 'F'));
  const std::string target = write("old.xml", "old content\r\n");

  // Writing stops after 200 bytes.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 200;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(write_configuration(kTemplate, tree, target), ConfigFileError);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_THROW(write_configuration(path("missing_template.xml"), tree, target), ConfigFileError);
  EXPECT_THROW(write_configuration(kTemplate, tree, path("no/such/dir/x.xml")), ConfigFileError);
  EXPECT_EQ(read(target), "old content\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
      << "a partial file was left behind";

  write_configuration(kTemplate, tree, target);  // and a good save replaces it
  EXPECT_NE(read(target).find(std::string(64, 'F')), std::string::npos);
}

}  // namespace
}  // namespace qv82
