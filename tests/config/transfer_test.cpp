// Upload and download against simulated coin selectors under virtual time,
// through the application's tool-bar routing.
#include "config/transfer.h"

#include <gtest/gtest.h>

#include "config/transfer_bench.h"
#include "lang/language.h"

namespace qv82::test {
namespace {

// A template cut short (an interrupted copy, a full disk) would drop every
// item after the cut from uploads that still report success.
TEST(Transfer, TemplateCutShortIsRefusedByUpload) {
  ConfigBench bench;
  const std::string whole_template = bench.own_dir.read("template.xml");
  bench.own_dir.write("template.xml", whole_template.substr(0, whole_template.find("Channel 9")));
  const std::size_t frames = bench.device().requests().size();
  EXPECT_FALSE(bench.app.upload());
  ASSERT_EQ(bench.ui.errors().size(), 1u);
  EXPECT_NE(bench.ui.errors()[0].find("template.xml"), std::string::npos) << bench.ui.errors()[0];
  EXPECT_EQ(bench.device().requests().size(), frames) << "the device was asked";
}

// A backup is written back item by item at the template's lengths; an item
// of another length would overwrite its neighbours.
TEST(Transfer, RestoreRefusesItemsAtOtherLengthsThanTheTemplate) {
  ConfigBench bench;
  load_known_configuration(bench.device());
  ASSERT_TRUE(bench.app.upload());
  bench.ui.save_files.push_back(bench.dir + "/backup.xml");
  ASSERT_TRUE(bench.app.save_file());
  std::string text = bench.own_dir.read("backup.xml");
  const std::string tag = "address=\"0x07FD\" length=\"1\">";
  const std::size_t at = text.find(tag);
  ASSERT_NE(at, std::string::npos);
  bench.own_dir.write("backup.xml",
                      text.replace(at, tag.size() + 2, "address=\"0x07FD\" length=\"2\">0B55"));
  const sim::Memory::Image before = bench.device().memory().nv();
  bench.ui.clear();
  EXPECT_FALSE(bench.app.restore(bench.dir + "/backup.xml"));
  ASSERT_EQ(bench.ui.errors().size(), 1u);
  EXPECT_EQ(bench.ui.errors()[0].rfind(language_text(msg::kNotABackup), 0), 0u)
      << bench.ui.errors()[0];
  EXPECT_EQ(bench.device().memory().nv(), before);
}

TEST(Transfer, WriteFailureHalfWayStopsWithoutCommitAndRestartsTheDevice) {
  ConfigBench bench;
  load_known_configuration(bench.device());
  ASSERT_TRUE(bench.app.upload());
  const sim::Memory::Image nv_before = bench.device().memory().nv();

  int writes = 0;
  bench.app.link.add_log_line = [&](const std::string& line) {
    // The fifth memory write is refused by the device.
    if (line.rfind("-> 02", 0) == 0 && line.substr(9, 4) == "FF03" && ++writes == 5) {
      bench.device().faults().nak.push_back(sim::nak_next_request());
    }
  };
  const std::size_t frames_before = bench.device().requests().size();
  EXPECT_FALSE(bench.app.download());
  ASSERT_EQ(bench.ui.errors().size(), 1u);
  EXPECT_EQ(bench.ui.errors()[0].rfind(language_text(msg::kWritingError) + "\n4 of ", 0), 0u)
      << bench.ui.errors()[0];
  EXPECT_EQ(bench.ui.wait_cursor_depth, 0);
  EXPECT_EQ(writes, 5) << "nothing written after the failure";
  const std::vector<Bytes> after(bench.device().requests().begin() + frames_before,
                                 bench.device().requests().end());
  for (const Bytes& frame : after) {
    EXPECT_FALSE(frame.size() == 6 && frame[3] == 0xFF && frame[4] == 0x03)
        << "no commit: " << bytes_to_hex(frame);
  }
  // Restarted without a store: the device runs what it had stored.
  EXPECT_EQ(after.back(), (Bytes{2, 0, 1, 0x01, 0xFC}));
  EXPECT_EQ(bench.device().memory().nv(), nv_before);
  EXPECT_EQ(bench.device().memory().ram(), nv_before);
}

}  // namespace
}  // namespace qv82::test
