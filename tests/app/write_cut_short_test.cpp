// A download, a restore and an erase that the port, a wrong file or another
// unit's backup cut short: what the device holds afterwards, what the user
// is told, and what the pages show.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "config/transfer_bench.h"
#include "device/unstored_writes.h"
#include "files/text.h"
#include "lang/language.h"
#include "link/errors.h"
#include "stats/erasing.h"
#include "support/saved_items.h"

namespace qv82::test {
namespace {

constexpr std::size_t kChannel3 = 0x05B0;

bool is_request(const Bytes& frame, std::initializer_list<std::uint8_t> start, int length = -1) {
  if (frame.size() < 3 + start.size() || (length >= 0 && frame[1] != length)) return false;
  return std::equal(start.begin(), start.end(), frame.begin() + 3);
}
bool is_read(const Bytes& frame) { return is_request(frame, {0xFF, 0x02}); }
bool is_write(const Bytes& frame) { return is_request(frame, {0xFF, 0x03}) && frame[1] > 1; }
bool is_store(const Bytes& frame) { return is_request(frame, {0xFF, 0x03}, 1); }
bool is_reset(const Bytes& frame) { return is_request(frame, {0x01}); }

// Pulls the port at the first frame `then` matches after one `first` matched.
std::function<bool(const Bytes&)> after(std::function<bool(const Bytes&)> first,
                                        std::function<bool(const Bytes&)> then) {
  return [first, then, seen = false](const Bytes& frame) mutable {
    if (seen && then(frame)) return true;
    seen = seen || first(frame);
    return false;
  };
}

// The device's configuration saved, with channel 3's record changed in the file.
std::string changed_configuration(ConfigBench& bench) {
  EXPECT_TRUE(bench.app.upload());
  const std::string path = bench.dir + "/changed.xml";
  bench.ui.save_files.push_back(path);
  EXPECT_TRUE(bench.app.save_file());
  std::string record = saved_item(path, "0x05B0");
  record.replace(0, 2, record.compare(0, 2, "AA") == 0 ? "AB" : "AA");
  set_saved_item(path, "0x05B0", record);
  return path;
}

// That file opened into the pages, as File Open does.
bool open_changed_configuration(ConfigBench& bench) {
  bench.ui.open_files.push_back(changed_configuration(bench));
  return bench.app.open_file();
}

std::string download_cut(ConfigBench& bench) {
  try {
    bench.app.download();
  } catch (const PortError& e) {
    return e.what();
  }
  ADD_FAILURE() << "the download ended without the port's failure";
  return {};
}

TEST(WriteCutShort, PortLostInEachStageTellsWhatTheDeviceHolds) {
  struct Case {
    const char* stage;
    // Decides, frame by frame, when the adapter is pulled.
    std::function<std::function<bool(const Bytes&)>()> pull;
    std::function<std::string(int items)> told;
    bool stored;
  };
  const std::vector<Case> cases = {
      {"backup", [] { return std::function<bool(const Bytes&)>(is_read); },
       [](int) { return language_text(msg::kBackupCutShort); }, false},
      {"read-back", [] { return after(is_write, is_read); },
       [](int items) { return writes_cut_off_by_port(items, items); }, false},
      {"restart", [] { return after(is_store, is_reset); },
       [](int) { return language_text(msg::kRestartUnconfirmed); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stage);
    ConfigBench bench;
    ASSERT_TRUE(open_changed_configuration(bench));
    const sim::Memory::Image before = bench.device().memory().nv();
    const std::size_t writes_before = bench.requests({0xFF, 0x03}).size();
    // Pulled once the sections are chosen: the identification before is whole.
    bench.ui.choose = [&](ParameterTree&) { bench.setup.line().vanish_on = c.pull(); };
    const std::string message = download_cut(bench);
    const int items = static_cast<int>(bench.requests({0xFF, 0x03}).size() - writes_before);
    EXPECT_NE(message.find(c.told(items)), std::string::npos) << message;
    EXPECT_EQ(bench.device().memory().nv()[kChannel3] != before[kChannel3], c.stored);
    if (!c.stored) {
      EXPECT_EQ(bench.device().memory().nv(), before);
    }
  }
}

TEST(WriteCutShort, WritesFromBeforeAPulledPortAreNotStoredWithTheNextOperation) {
  ConfigBench bench;
  ASSERT_TRUE(open_changed_configuration(bench));
  const sim::Memory::Image before = bench.device().memory().nv();
  const std::size_t writes_before = bench.requests({0xFF, 0x03}).size();
  bench.ui.choose = [&](ParameterTree&) {
    bench.setup.line().vanish_on = after(is_write, is_read);
  };
  download_cut(bench);
  bench.ui.choose = nullptr;
  const std::string written = std::to_string(bench.requests({0xFF, 0x03}).size() - writes_before);
  // The channel's new record sits in the working memory, unstored.
  ASSERT_NE(bench.device().memory().ram()[kChannel3], before[kChannel3]);

  // The adapter is plugged back in; the technician erases a counter.
  bench.setup.line().vanish_on = nullptr;
  bench.setup.line().add_port("SIM");
  bench.app.link.port.open();
  bench.ui.clear();
  Erasing erasing(bench.app.selector, bench.app.configuration.channels, bench.ui);
  bench.ui.answers = {Answer::Yes};
  erasing.statistics[0] = true;
  ASSERT_TRUE(erasing.erase_selected());
  ASSERT_FALSE(bench.ui.errors().empty());
  EXPECT_NE(bench.ui.errors()[0].find(language_text(msg::kWritesLostWithPort, {written})),
            std::string::npos)
      << bench.ui.errors()[0];
  EXPECT_EQ(bench.device().memory().nv()[kChannel3], before[kChannel3]);
  EXPECT_EQ(bench.device().memory().nv()[0x0832], 0x00);
}

TEST(WriteCutShort, RestoreTakesOnlyTemplateItemsOfThisUnitAndThePagesShowWhatItWrote) {
  ConfigBench bench;
  ASSERT_TRUE(bench.app.upload());
  const sim::Memory::Image before = bench.device().memory().nv();
  // A backup of this unit as the program writes it: the device's own file.
  bench.ui.save_files.push_back(bench.dir + "/mine.xml");
  ASSERT_TRUE(bench.app.save_file());
  const std::string saved = file_text(bench.dir + "/mine.xml");
  const std::string tag = "address=\"0x07FD\" length=\"1\">";
  const std::size_t at = saved.find(tag);
  ASSERT_NE(at, std::string::npos);

  const auto variant = [&](const std::string& name, const std::string& new_tag,
                           const std::string& value) {
    std::string text = saved;
    text.replace(at, tag.size() + 2, new_tag + value);
    const std::string path = bench.dir + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  };
  // An item at a length the template does not give it, and one it does not hold at all.
  for (const std::string& path :
       {variant("long.xml", "address=\"0x07FD\" length=\"2\">", "0B55"),
        variant("foreign.xml", "address=\"0x0100\" length=\"1\">", "AB")}) {
    SCOPED_TRACE(path);
    bench.ui.clear();
    EXPECT_FALSE(bench.app.restore(path));
    ASSERT_EQ(bench.ui.errors().size(), 1u);
    EXPECT_EQ(bench.ui.errors()[0].rfind(language_text(msg::kNotABackup), 0), 0u)
        << bench.ui.errors()[0];
    EXPECT_EQ(bench.device().memory().nv(), before);
  }

  // Another unit's backup is written only when the user says so.
  const std::string value = hex_byte(before[0x07FD] == 0x0A ? 0x0B : 0x0A);
  std::filesystem::create_directories(bench.dir + "/backups");
  const std::string other = bench.dir + "/backups/7654321-20261207-153012.xml";
  std::filesystem::rename(variant("o.xml", tag, value), other);
  bench.ui.clear();
  EXPECT_FALSE(bench.app.restore(other));
  EXPECT_EQ(bench.ui.questions(),
            std::vector<std::string>{language_text(msg::kRestoreOtherSerial, {"7654321", "1234567"})});
  EXPECT_EQ(bench.device().memory().nv(), before);

  bench.ui.answers = {Answer::Yes};
  ASSERT_TRUE(bench.app.restore(other));
  EXPECT_EQ(hex_byte(bench.device().memory().nv()[0x07FD]), value);
  // The pages show the restored value, so a later Download keeps it.
  bench.ui.answers = {};
  ASSERT_TRUE(bench.app.download());
  EXPECT_EQ(hex_byte(bench.device().memory().nv()[0x07FD]), value);
}

// Restore offers the newest backup first: the one taken before the latest change.
TEST(WriteCutShort, BackupsOfTheUnitAreListedNewestFirst) {
  ConfigBench bench;
  ASSERT_TRUE(bench.app.selector.identify_device());
  std::filesystem::create_directories(bench.dir + "/backups");
  for (const char* stamp : {"20261207-153012", "20261208-090000", "20251231-235959"}) {
    std::ofstream(bench.dir + "/backups/1234567-" + stamp + ".xml") << "<x/>";
  }
  std::vector<std::string> times;
  for (const BackupEntry& entry : bench.app.device_backups()) times.push_back(entry.time);
  EXPECT_EQ(times, (std::vector<std::string>{"2026-12-08 09:00:00", "2026-12-07 15:30:12",
                                             "2025-12-31 23:59:59"}));
}

}  // namespace
}  // namespace qv82::test
