#include "config/config_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/parameter_tree.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kTemplate = QV82_SOURCE_DIR "/data/template.xml";

std::string hex_address(int address) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", address);
  return text;
}

// Puts data at an address the way the screens do: the item, its group and
// the group around it are checked.
void put(ParameterTree& tree, const std::string& address, const std::string& text) {
  const std::size_t node = tree.find_by_address(address);
  ASSERT_NE(node, ParameterTree::kNotFound) << address;
  tree.set_text(node, text);
  for (std::size_t at = node, level = 0; level < 3; ++level, at = tree.parent(at))
    tree.set_state(at, CheckState::kChecked);
}

// The template with the sixteen channels holding `fill(n)` ('\0': empty).
void load_with_channels(ParameterTree& tree, char (*fill)(int)) {
  tree.load_file(kTemplate);
  for (int n = 1; n <= 16; ++n)
    put(tree, hex_address(0x0570 + 32 * (n - 1)), fill(n) ? std::string(64, fill(n)) : "");
}

TEST(ConfigFile, SaveWithOnlyChannelsWritesTheChannelGroupAndReopens) {
  TempDir dir;
  ParameterTree tree;
  load_with_channels(tree, [](int n) { return n == 16 ? '\0' : char('A' + n % 6); });
  put(tree, "0x0590", "a<b&lt;");  // comes back as typed, whatever it holds
  put(tree, "0x07F0", "05");  // its groups checked, the item itself not: nothing saved
  tree.set_state(tree.find_by_address("0x07F0"), CheckState::kUnchecked);

  const std::string written = write_configuration(kTemplate, tree, dir.file("config.txt"));
  EXPECT_EQ(written, dir.file("config.xml"));
  const Lines lines = read_text_lines(written);
  ASSERT_EQ(lines.size(), 3u + 1u + 16u + 2u);
  EXPECT_NE(lines[1].find("format=\"QV31/QV82\""), std::string::npos);
  EXPECT_EQ(lines[19], "    <Data caption=\"Channel 16\" address=\"0x0750\" length=\"32\"></Data>");
  EXPECT_EQ(lines[21], "</MachineData>");

  // Opening: only the channels come back; everything else cannot be chosen.
  merge_into_temporary(kTemplate, written, dir.file("temporary.xml"));
  ParameterTree opened;
  opened.load_file(dir.file("temporary.xml"));
  const std::size_t ch2 = opened.find_by_address("0x0590");
  EXPECT_EQ(opened.text(ch2), "a<b&lt;");
  EXPECT_EQ(opened.state(ch2), CheckState::kChecked);
  for (const char* address : {"0x0750", "0x07F0"})
    EXPECT_EQ(opened.state(opened.find_by_address(address)), CheckState::kUnavailable) << address;
}

TEST(ConfigFile, FailedSaveLeavesTheOldFileIntact) {
  TempDir dir;
  ParameterTree tree;
  load_with_channels(tree, [](int) { return 'F'; });
  dir.write("old.xml", "old content\r\n");
  const std::string target = dir.file("old.xml");

#ifndef _WIN32
  {
    const FileSizeLimit disk_full(200);
    ASSERT_TRUE(disk_full.active());
    EXPECT_THROW(write_configuration(kTemplate, tree, target), ConfigFileError);
  }
#endif

  EXPECT_THROW(write_configuration(dir.file("missing.xml"), tree, target), ConfigFileError);
  // A template whose group never closes is no whole template.
  std::string unclosed;
  bool dropped = false;
  for (const std::string& line : read_text_lines(kTemplate)) {
    if (!dropped && line.find("</Group>") != std::string::npos) {
      dropped = true;
    } else {
      unclosed += line + "\r\n";
    }
  }
  dir.write("unclosed.xml", unclosed);
  EXPECT_THROW(write_configuration(dir.file("unclosed.xml"), tree, target), ConfigFileError);
  std::filesystem::remove(dir.file("unclosed.xml"));
  EXPECT_THROW(write_configuration(kTemplate, tree, dir.file("no/dir/x.xml")), ConfigFileError);
  EXPECT_EQ(dir.read("old.xml"), "old content\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
      << "a partial file was left behind";

  write_configuration(kTemplate, tree, target);  // and a good save replaces it
  EXPECT_NE(dir.read("old.xml").find(std::string(64, 'F')), std::string::npos);
}

}  // namespace
}  // namespace qv82::test
