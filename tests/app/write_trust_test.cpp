// Compare, read-back before the store, the backup before an overwrite and
// its restore, over the simulated coin selector under virtual time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "channels/channel_record.h"
#include "config/transfer_bench.h"
#include "lang/language.h"
#include "support/saved_items.h"

namespace qv82::test {
namespace {

const Bytes kWriteMemory = {0xFF, 0x03};

// The device's configuration saved as Upload and File Save make it, with channel
// 3's value raised, opened into the pages; the new record's hex.
std::string open_raised_configuration(ConfigBench& bench, const std::string& path) {
  EXPECT_TRUE(bench.app.upload());
  bench.ui.save_files.push_back(path);
  EXPECT_TRUE(bench.app.save_file());
  const std::string changed = raise_channel_3_value(path);
  bench.ui.open_files.push_back(path);
  EXPECT_TRUE(bench.app.open_file());
  return changed;
}

TEST(WriteTrust, ChangedChannelComparesDownloadsComparesEqualAndItsBackupRestoresTheDevice) {
  ConfigBench bench;
  const std::string before = bytes_to_hex(Bytes(bench.device().memory().nv().begin() + 0x05B0,
                                                bench.device().memory().nv().begin() + 0x05D0));
  const std::string file = bench.dir + "/device.xml";
  const std::string changed = open_raised_configuration(bench, file);
  const int value = StrToChannel(hex_to_bytes(before)).view.value;

  const auto differences = bench.app.compare_with_device(file);
  ASSERT_TRUE(differences);
  ASSERT_EQ(differences->size(), 1u);
  const std::vector<std::string> lines = difference_lines(*differences);
  // Device first: what a download of the file would change.
  EXPECT_EQ(lines, (std::vector<std::string>{"Channel 3 (0x05B0): " + before + " -> " + changed +
                                                 "; Val. " + std::to_string(value) + " -> " +
                                                 std::to_string(value + 5),
                                             "1 difference"}));

  std::vector<std::string> backups;
  bench.app.hooks.backup_written = [&backups](const std::string& path) { backups.push_back(path); };
  const sim::Memory::Image original = bench.device().memory().nv();
  ASSERT_TRUE(bench.app.download());
  EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{});
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(std::filesystem::path(backups[0]).parent_path(), bench.dir + "/backups");
  EXPECT_EQ(bench.app.compare_with_device(file)->size(), 0u);

  // The backup names the device and holds every item the download wrote.
  const std::vector<BackupEntry> listed = bench.app.device_backups();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].serial, "1234567");
  EXPECT_EQ(listed[0].items, 83u);
  ASSERT_TRUE(bench.app.restore(backups[0]));
  EXPECT_EQ(bench.device().memory().nv(), original);
  // The restore kept what it overwrote too; nothing was deleted.
  EXPECT_EQ(bench.app.device_backups().size(), 2u);
}

TEST(WriteTrust, FlippedBitFailsEachWriterByNameBeforeTheStore) {
  ConfigBench bench;
  open_raised_configuration(bench, bench.dir + "/device.xml");
  const sim::Memory::Image stored = bench.device().memory().nv();
  const std::uint8_t first = stored[0x0570];
  char expected[80];
  std::snprintf(expected, sizeof expected,
                "Verify failed: Channel 1 (0x0570): wrote %02X, read %02X", first, first ^ 0x01);
  bench.ui.clear();
  bench.device().faults().flip_written_bit = true;
  EXPECT_FALSE(bench.app.download());
  EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{expected});
  EXPECT_EQ(bench.device().memory().nv(), stored);
  // Restarted without storing: the working memory holds the stored image again.
  EXPECT_EQ(bench.device().memory().ram(), stored);

  // Another writer, the statistics' erase of every counter, is read back too.
  bench.ui.clear();
  bench.ui.answers = {Answer::Ok};
  EXPECT_FALSE(bench.app.configuration.statistics.erase_all());
  EXPECT_EQ(bench.device().memory().nv(), stored);
  // Nothing reads as success before the read-back has failed.
  EXPECT_EQ(bench.ui.informations(), std::vector<std::string>{});
  ASSERT_FALSE(bench.ui.errors().empty());
  // The erase command leaves 000000; with the bit wrong only its first byte changed.
  EXPECT_EQ(bench.ui.errors().back().rfind("Verify failed: Counter 1 (0x083", 0), 0u)
      << bench.ui.errors().back();
}

// A store the device refuses fails the download; restarted, the device holds what it had.
TEST(WriteTrust, RefusedStoreFailsTheDownload) {
  ConfigBench bench;
  open_raised_configuration(bench, bench.dir + "/device.xml");
  const sim::Memory::Image stored = bench.device().memory().nv();
  bench.ui.clear();
  bench.device().faults().refuse_next_store = true;
  EXPECT_FALSE(bench.app.download());
  EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{"Error write to NV memory"});
  EXPECT_EQ(bench.device().memory().nv(), stored);
  EXPECT_EQ(bench.ui.informations(), std::vector<std::string>{});
}

TEST(WriteTrust, BackupThatCannotBeWrittenStopsBeforeAnyWrite) {
  ConfigBench bench;
  open_raised_configuration(bench, bench.dir + "/device.xml");
  std::ofstream(bench.dir + "/backups") << "in the way";
  const std::size_t writes = bench.requests(kWriteMemory).size();
  bench.ui.clear();
  EXPECT_FALSE(bench.app.download());
  ASSERT_EQ(bench.ui.errors().size(), 1u);
  const std::string error = bench.ui.errors()[0];
  const std::string named = (std::filesystem::path(bench.dir) / "backups" / "1234567-").string();
  EXPECT_EQ(error.rfind(language_text(msg::kBackupNotWritten) + named, 0), 0u) << error;
  EXPECT_EQ(bench.requests(kWriteMemory).size(), writes);
}

TEST(WriteTrust, TwoFilesCompareItemByItemInThePagesWords) {
  ConfigBench bench;
  const std::string file = bench.dir + "/device.xml";
  open_raised_configuration(bench, file);
  const std::string copy = bench.dir + "/copy.xml";
  std::filesystem::copy_file(file, copy);
  raise_channel_3_value(copy);
  set_saved_item(file, "0x081A", "01");
  set_saved_item(copy, "0x081A", "02");
  set_saved_item(file, "0x07FB", "05");
  set_saved_item(copy, "0x07FB", "0A");
  set_saved_item(file, "0x0778", "0706BFFF00000000");
  set_saved_item(copy, "0x0778", "FFFFFFFFFFFFFFFF");
  set_saved_item(file, "0x0830", "000010");
  set_saved_item(copy, "0x0830", "000000");
  const auto differences = bench.app.compare_files(file, copy);
  ASSERT_TRUE(differences);
  ASSERT_EQ(differences->size(), 5u);
  const std::vector<std::string> lines = difference_lines(*differences);
  EXPECT_EQ(lines[0].rfind("Channel 3 (0x05B0): ", 0), 0u);
  EXPECT_EQ(lines[1],
            "Output2 (0x0778): 0706BFFF00000000 -> FFFFFFFFFFFFFFFF; Output 2 Warning -> Not used");
  EXPECT_EQ(lines[2], "Rest time (0x07FB): 05 -> 0A; Rest time 5 s -> 10 s");
  EXPECT_EQ(lines[3], "Option 1 (0x081A): 01 -> 02; Setting Coins accepted -> Coins rejected");
  EXPECT_EQ(lines[4], "Counter 1 (0x0830): 000010 -> 000000; count 16 -> 0");
  EXPECT_EQ(lines[5], "5 differences");
}

}  // namespace
}  // namespace qv82::test
