#include "config/config_files.h"

#include <gtest/gtest.h>

#include "config/transfer_bench.h"
#include "lang/language.h"

namespace qv82::test {
namespace {

const std::string kRecord(64, 'C');

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A configuration file holding the first channel and the credit.
std::string small_file() {
  return "<?xml version=\"1.0\"?>\r\n<!-- format=\"QV31/QV82\" -->\r\n<MachineData>\r\n"
         "<Data caption=\"Channel 1\" address=\"0x0570\" length=\"32\">" +
         kRecord +
         "</Data>\r\n"
         "<Data caption=\"Credit\" address=\"0x07F0\" length=\"1\">03</Data>\r\n"
         "</MachineData>\r\n";
}

TEST(FileOperations, OpenTakesTheFileThroughTemporaryXml) {
  ConfigBench bench;
  TempDir files;
  files.write("small.xml", small_file());
  bench.ui.open_files.push_back(files.file("small.xml"));
  ASSERT_TRUE(bench.app.open_file());

  EXPECT_EQ(bench.ui.section_captions.back(), language_text(msg::kSelectSectionsForLoading));
  // The template's layout with the file's data, left in the working folder.
  EXPECT_NE(bench.own_dir.read("temporary.xml")
                .find("<Data caption=\"0x0570\" address=\"0x0570\" length=\"32\">" + kRecord),
            std::string::npos);
  EXPECT_EQ(bench.app.configuration.channels.channel_buffer[0], Bytes(32, 0xCC));
  EXPECT_EQ(bench.images().param_image.substr(0, 2), "03");
  // Items the file does not hold cannot be chosen.
  EXPECT_EQ(bench.tree().state(bench.tree().find_by_address("0x0590")), CheckState::kUnavailable);

  // A channel changed after the load goes into the next save with the file's.
  bench.app.configuration.channels.channel_buffer[1] = Bytes(32, 0x5A);
  bench.ui.save_files.push_back(files.file("again.xml"));
  ASSERT_TRUE(bench.app.save_file());
  const std::string saved = files.read("again.xml");
  EXPECT_NE(saved.find("length=\"32\">" + bytes_to_hex(Bytes(32, 0x5A))), std::string::npos)
      << saved;
  EXPECT_NE(saved.find("length=\"32\">CCCC"), std::string::npos) << saved;
}

TEST(FileOperations, SaveWritesTheLoadedSectionsOnly) {
  ConfigBench bench;
  TempDir files;
  EXPECT_FALSE(bench.app.save_file());
  EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{language_text(msg::kAllBuffersAreEmpty)});

  bench.app.configuration.channels.channel_buffer[1] = Bytes(32, 0x5A);
  bench.images().loaded_sections = kSectionChannels;
  bench.ui.save_files.push_back(files.file("channels.txt"));
  ASSERT_TRUE(bench.app.save_file());

  const std::string saved = files.read("channels.xml");
  // Only the channel that differs from what start-up left: the others are
  // neither loaded nor edited.
  EXPECT_EQ(count(saved, "<Data caption"), 1u);
  EXPECT_NE(saved.find("length=\"32\">" + bytes_to_hex(Bytes(32, 0x5A))), std::string::npos);
  EXPECT_EQ(saved.find("Configuration"), std::string::npos);
}

}  // namespace
}  // namespace qv82::test
