// "Firmware upgrade" clicked through over the simulated coin selector and its
// boot monitor, in virtual time.
#include "support/gui_test_main.h"
#include "ui/firmware_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "firmware/srecord_writer.h"
#include "support/selector_bench.h"
#include "virtual_events.h"

namespace qv82::test {

namespace {

constexpr const char* kStaysInMonitor =
    "\nThe coin selector stays in its monitor program; Search will offer the upgrade again.";

struct FirmwareBench {
  FirmwareBench() {
    bench.selector.identify_device();
    bench.ui.clear();
    window.show();
  }

  // An image of 8 records of 32 bytes; cut drops its end record.
  std::string image(const std::string& id, bool cut = false) {
    std::string text = write_srecord_image({id, "QV82HS-3.00", 0x4000, Bytes(256, 0x5A), 32});
    if (cut) text.erase(text.rfind("S9"));
    bench.dir.write("image.u19", text);
    return bench.dir.file("image.u19");
  }
  void start(const std::string& path) {
    bench.ui.open_files = {path};
    window.open_button->click();
    window.start_button->click();
  }
  std::string revision() {
    Bytes reply;
    bench.link.cctalk_transaction(bench.link.device_address, Bytes{0xF1}, reply, 5);
    return bytes_to_text(reply_data(reply));
  }

  SelectorBench bench;
  FirmwareWindow window{bench.selector};
  VirtualEvents events{dynamic_cast<sim::VirtualClock&>(bench.setup.clock())};
};

}  // namespace

class FirmwareWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void completeDownloadClosesTheWindowAndTheDeviceRunsTheNewFirmware() {
    FirmwareBench run;
    // What the bar shows behind "Operation finished".
    int bar_value = -1;
    int bar_maximum = -1;
    run.bench.ui.on_shown = [&](const FakeUi::Shown&) {
      bar_value = run.window.progress->value();
      bar_maximum = run.window.progress->maximum();
    };
    bool buttons_off = false;
    bool escape_refused = false;
    run.events.at_ms(run.events.now_ms() + 300, [&] {
      buttons_off = !run.window.close_button->isEnabled() && !run.window.start_button->isEnabled();
      static_cast<QDialog&>(run.window).reject();
      escape_refused = run.window.isVisible();
    });
    run.start(run.image("QV82HS-BL"));
    QVERIFY(buttons_off);
    QVERIFY(escape_refused);
    QVERIFY(!run.window.isVisible());
    QVERIFY(run.window.model().completed);
    QCOMPARE(run.bench.ui.informations(), std::vector<std::string>{"Operation finished"});
    QVERIFY(!run.bench.device().in_monitor());
    QCOMPARE(run.revision(), std::string("QV82HS-3.00"));
    QCOMPARE(bar_maximum, 9);  // the records after the header, the end record last
    QCOMPARE(bar_value, bar_maximum);
  }

  // Opened again, the window shows no file it would not send; Start asks
  // for one, and the file picked then is the one sent.
  void eachOpeningStartsWithoutAFile() {
    FirmwareBench run;
    run.start(run.image("QV82HS-BL"));
    QVERIFY(!run.window.isVisible());
    run.bench.ui.clear();

    run.window.show();
    QCOMPARE(run.window.file_name_label->text(), QString());
    const std::size_t requests = run.bench.device().requests().size();
    run.window.start_button->click();
    QCOMPARE(run.bench.ui.errors(), std::vector<std::string>{"Open file first!"});
    QCOMPARE(run.bench.device().requests().size(), requests);

    run.bench.ui.clear();
    run.start(run.image("QV82HS-BL"));
    QVERIFY(run.window.model().completed);
    QCOMPARE(run.bench.ui.errors(), std::vector<std::string>{});
  }

  // The adapter pulled after a few records: the window stays, says the
  // upgrade did not complete and that the device waits in its monitor.
  void portPulledMidUpgradeSaysItFailedAndWhereTheDeviceWaits() {
    FirmwareBench run;
    bool pulled = false;
    auto render = run.window.model().view_changed;
    run.window.model().view_changed = [&] {
      render();
      if (pulled || run.window.progress->value() < 3) return;
      pulled = true;
      // Inside the next record's transfer.
      run.bench.setup.scheduler().schedule_in_us(
          3000, [&run] { run.bench.setup.line().remove_port("SIM"); });
    };
    run.start(run.image("QV82HS-BL"));

    QVERIFY(pulled);
    const std::string failed = "The firmware upgrade did not complete.";
    QCOMPARE(run.bench.ui.errors(),
             std::vector<std::string>{"SIM was disconnected\n" + failed + kStaysInMonitor});
    QVERIFY(run.window.isVisible());
    QCOMPARE(run.window.status_text_label->text().toStdString(), failed);
    QVERIFY(run.window.start_button->isEnabled());
    QVERIFY(run.window.close_button->isEnabled());
    QVERIFY(!run.window.model().completed);
    QVERIFY(run.bench.device().in_monitor());
    QVERIFY(run.bench.device().monitor().flash().size() < 256);
    run.window.close_button->click();
  }

  // A file that cannot complete a download is refused before the device
  // leaves its application; a download that fails once the monitor answered
  // says that the device waits there.
  void failuresSayWhereTheDeviceIs() {
    struct Case {
      const char* name;
      std::string id;
      bool cut;
      int fail_record;  // -1: none
      std::string error;
      bool in_monitor;
    } cases[] = {
        {"cut at a record boundary", "QV82HS-BL", true, -1,
         "File format error: no end record (S7, S8 or S9)", false},
        {"another device type", "XX99XX-BL", false, -1,
         "Type error!\nImage file header: XX99XX-BL (" + bytes_to_hex(text_to_bytes("XX99XX-BL")) +
             ")\nMonitor identification: QV82HS-BL (" + bytes_to_hex(text_to_bytes("QV82HS-BL")) +
             ")" + kStaysInMonitor,
         true},
        {"refused record", "QV82HS-BL", false, 3,
         std::string("FLASH erase error!") + kStaysInMonitor, true},
    };
    for (const Case& c : cases) {
      FirmwareBench run;
      if (c.fail_record >= 0) run.bench.device().monitor().fail_record(c.fail_record, '2', 1);
      const std::size_t requests = run.bench.device().requests().size();
      run.start(run.image(c.id, c.cut));
      QVERIFY2(run.window.isVisible(), c.name);
      QCOMPARE(run.bench.ui.errors(), std::vector<std::string>{c.error});
      QCOMPARE(run.bench.device().in_monitor(), c.in_monitor);
      if (!c.in_monitor) QCOMPARE(run.bench.device().requests().size(), requests);
      QVERIFY(run.window.start_button->isEnabled());
      QCOMPARE(run.window.progress->value(), 0);
      QVERIFY(!run.window.model().completed);
    }
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::FirmwareWindowTest)
#include "firmware_window_test.moc"
