// The firmware upgrade against the simulated coin selector and its boot
// monitor, in virtual time, and the image files refused before it starts.
#include "firmware/firmware_download.h"

#include <gtest/gtest.h>

#include <map>

#include "device/coin_selector.h"
#include "files/ini_file.h"
#include "firmware/firmware_image.h"
#include "firmware/srecord_writer.h"
#include "support/fake_ui.h"
#include "support/sim_fixture.h"
#include "support/temp_dir.h"

namespace qv82 {
namespace {

const std::string kStaysInMonitor =
    "\nThe coin selector stays in its monitor program; Search will offer the upgrade again.";

class FirmwareDownloadTest : public test::SimFixture {
 protected:
  FirmwareDownloadTest() : settings(dir.file("qv82hs.ini")), selector(link, state, ui, settings) {
    state.access_masks = {0xFF, 0xFF, 0xFF, 0xFF};
    state.download_address = device().address();
    link.add_log_line = [this](const std::string& line) { log.push_back(line); };
    for (std::size_t i = 0; i < data.size(); ++i) {
      data[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
      flash[0x4000 + static_cast<std::uint32_t>(i)] = data[i];
    }
  }
  // An image for the simulated device's monitor: 16 records of 32 bytes.
  std::string write_image(const std::string& id = "QV82HS-BL") {
    dir.write("image.u19", write_srecord_image({id, "QV82HS-2.00", 0x4000, data, 32}));
    return dir.file("image.u19");
  }

  Bytes data = Bytes(512);
  std::map<std::uint32_t, std::uint8_t> flash;
  test::TempDir dir;
  test::FakeUi ui;
  DeviceState state;
  IniFile settings;
  CoinSelector selector;
  FirmwareDownload download{link, selector};
  std::vector<std::string> log;
};

TEST_F(FirmwareDownloadTest, WholeImageLandsInFlashAndTheDeviceRunsTheNewRevision) {
  const std::string path = write_image();
  download.choose_file(path);
  EXPECT_TRUE(download.start()) << "the window closes after a complete download";

  EXPECT_EQ(device().monitor().flash(), flash);
  EXPECT_FALSE(device().in_monitor());
  EXPECT_EQ(ask({0xF1}, 5), text_to_bytes("QV82HS-2.00"));
  EXPECT_TRUE(ui.errors().empty()) << ui.errors().front();
}

// The records are not logged; the way into the monitor is.
TEST_F(FirmwareDownloadTest, MonitorAnsweringOnlyAt38400IsUsedThereAndTheRateReturnsTo9600) {
  device().config().monitor_rates = {38400};
  ASSERT_EQ(download.start_monitor(), kMonitorReady);
  const std::size_t logged = log.size();
  EXPECT_GT(logged, 0u);
  EXPECT_TRUE(download.download_prgm(write_image()));
  EXPECT_EQ(device().monitor().flash(), flash) << "every record went at 38400";
  EXPECT_EQ(log.size(), logged);
  EXPECT_EQ(setup.line().baud_rate(), 9600);
}

TEST_F(FirmwareDownloadTest, MonitorStatusesDecideRetriesAndMessages) {
  struct Case {
    const char* name;
    int record;
    char status;
    int times;
    bool accepted;
    const char* message;
    int extra_sends;  // sends of the failing record beyond the first
    bool rest_sent;   // the records after it went out
  } cases[] = {
      {"6, 6, then 0 is accepted", 1, '6', 2, true, "", 2, true},
      {"3 three times fails", 3, '3', 3, false, "Checksum error!", 2, false},
      {"2 fails at once", 2, '2', 1, false, "FLASH erase error!", 0, false},
      {"a letter is unrecognised", 2, 'X', 1, false, "Unrecognized error!", 0, false},
  };
  const std::string path = write_image();
  const FirmwareImage image = *read_firmware_image(path).image;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.clear();
    device().reset();
    // A failed case leaves the monitor waiting; a fresh run counts anew.
    if (device().in_monitor()) device().enter_monitor();
    ASSERT_EQ(download.start_monitor(), kMonitorReady);
    device().monitor().fail_record(c.record, c.status, c.times);
    const std::size_t written_before = setup.line().written().size();

    EXPECT_EQ(download.download_prgm(path), c.accepted);

    std::size_t expected = 0;
    for (std::size_t i = 0; i < image.records.size(); ++i) {
      const std::size_t frame = 2 + image.records[i].bytes.size();
      if (static_cast<int>(i) == c.record)
        expected += frame * (1 + c.extra_sends);
      else if (static_cast<int>(i) < c.record || c.rest_sent)
        expected += frame;
    }
    EXPECT_EQ(setup.line().written().size() - written_before, expected);
    if (c.accepted) {
      EXPECT_TRUE(ui.errors().empty());
    } else {
      EXPECT_EQ(ui.errors(), std::vector<std::string>{c.message + kStaysInMonitor});
      EXPECT_EQ(download.view.status_label, "Programming") << "the label stays as it was";
    }
    EXPECT_EQ(setup.line().baud_rate(), 9600);
    EXPECT_TRUE(link.log_enabled);
  }
}

TEST_F(FirmwareDownloadTest, ImageForAnotherDeviceTypeSendsNothing) {
  ASSERT_EQ(download.start_monitor(), kMonitorReady);
  const std::size_t written_before = setup.line().written().size();
  EXPECT_FALSE(download.download_prgm(write_image("QV99XX-BL")));
  EXPECT_EQ(setup.line().written().size(), written_before);
  // Both identifications, to see which device the file was made for.
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"Type error!\nImage file header: QV99XX-BL (" +
                                                  bytes_to_hex(text_to_bytes("QV99XX-BL")) +
                                                  ")\nMonitor identification: QV82HS-BL (" +
                                                  bytes_to_hex(text_to_bytes("QV82HS-BL")) + ")" +
                                                  kStaysInMonitor});
  EXPECT_TRUE(device().in_monitor());
}

TEST_F(FirmwareDownloadTest, UnansweredHeaderIsATimeOut) {
  ASSERT_EQ(download.start_monitor(), kMonitorReady);
  device().config().monitor_erase_us = 3'100'000;  // beyond 300 polls
  const std::uint64_t start = link.pump.now_ms();
  EXPECT_FALSE(download.download_prgm(write_image()));
  EXPECT_GE(link.pump.now_ms() - start, 3000u + 400u);
  EXPECT_EQ(ui.errors(), std::vector<std::string>{"Time out!" + kStaysInMonitor});
  EXPECT_TRUE(device().monitor().flash().empty());
}

TEST_F(FirmwareDownloadTest, StartMonitorResults) {
  // Refused access: the device stays in its application.
  state.access_masks = {};
  EXPECT_EQ(download.start_monitor(), kUpgradeNotPermitted);
  EXPECT_FALSE(device().in_monitor());

  // Nothing answers at the address and no monitor is listening.
  state.download_address = 9;
  EXPECT_EQ(download.start_monitor(), kNoMonitor);

  // A device already waiting in its monitor needs no access check.
  device().enter_monitor();
  EXPECT_EQ(download.start_monitor(), kMonitorReady);
  EXPECT_EQ(ui.password_prompts().size(), 1u) << "only the refused try asked";
}

TEST(FirmwareImage, UnusableFilesAreRefusedWithTheLine) {
  const std::string header = srecord_line('0', 0, text_to_bytes("QV82HS-BL")) + "\n";
  const std::string record = srecord_line('1', 0x100, Bytes{1, 2, 3});
  const std::string end = srecord_line('9', 0, {}) + "\n";
  std::string bad_checksum = record;
  bad_checksum.back() = bad_checksum.back() == '0' ? '1' : '0';
  const std::pair<std::string, std::string> cases[] = {
      {"\n\n", "empty file"},
      {header, "no record after the header"},
      {header + bad_checksum + "\n", "line 2: wrong checksum"},
      {header + "S10600000155\n", "line 2: wrong byte count"},
      {header + "S3030000FC\n", "line 2: record too short"},
      {header + "S4030000FC\n", "line 2: unknown record type"},
      {header + record + "\n", "no end record (S7, S8 or S9)"},
      {header + record + "\n" + end + record + "\n", "line 4: record after the end record"},
  };
  for (const auto& [text, error_part] : cases) {
    const FirmwareImageResult result = parse_firmware_image(text);
    EXPECT_FALSE(result.image) << text;
    EXPECT_NE(result.error.find("File format error"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(error_part), std::string::npos) << result.error;
  }
}

// A missing file is refused end to end.
TEST(FirmwareImage, AFolderIsAnInputOutputError) {
  test::TempDir dir;
  EXPECT_EQ(read_firmware_image(dir.path()).error,
            "Cannot read file " + dir.path() + ": it is a folder");
}

}  // namespace
}  // namespace qv82
