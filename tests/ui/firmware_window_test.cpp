// "Firmware upgrade" clicked through over the simulated coin selector and its
// boot monitor, in virtual time.
#include "support/gui_test_main.h"
#include "ui/firmware_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <functional>

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
    bool locked = false;  // while it runs: no button, and Escape does not close
    run.events.at_ms(run.events.now_ms() + 300, [&] {
      static_cast<QDialog&>(run.window).reject();
      locked = !run.window.close_button->isEnabled() && !run.window.start_button->isEnabled() &&
               run.window.isVisible();
    });
    run.start(run.image("QV82HS-BL"));
    QVERIFY(locked);
    QVERIFY(!run.window.isVisible());
    QVERIFY(run.window.model().completed);
    QCOMPARE(run.bench.ui.informations(), std::vector<std::string>{"Operation finished"});
    QVERIFY(!run.bench.device().in_monitor());
    QCOMPARE(run.revision(), std::string("QV82HS-3.00"));
    QCOMPARE(bar_maximum, 9);  // the records after the header, the end record last
    QCOMPARE(bar_value, 9);
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

  // A file that cannot complete is refused before the device leaves its application; a
  // refused record or a pulled adapter leave it in its monitor. Either way the window stays,
  // ready to start again, and says where the device is.
  void failuresLeaveTheWindowReadyAndSayWhereTheDeviceIs() {
    struct Case {
      const char* name;
      bool cut;
      std::function<void(FirmwareBench&)> arrange;
      bool in_monitor;
      const char* status;  // under the bar; nullptr: not looked at
    };
    const auto pull_after_three_records = [](FirmwareBench& run) {
      auto render = run.window.model().view_changed;
      run.window.model().view_changed = [&run, render, pulled = false]() mutable {
        render();
        if (pulled || run.window.progress->value() < 3) return;
        pulled = true;  // inside the next record's transfer
        run.bench.setup.scheduler().schedule_in_us(
            3000, [&run] { run.bench.setup.line().remove_port("SIM"); });
      };
    };
    const Case cases[] = {
        {"cut at a record boundary", true, [](FirmwareBench&) {}, false, ""},
        {"refused record", false,
         [](FirmwareBench& run) { run.bench.device().monitor().fail_record(3, '2', 1); }, true,
         nullptr},
        {"adapter pulled", false, pull_after_three_records, true,
         "The firmware upgrade did not complete."},
    };
    for (const Case& c : cases) {
      FirmwareBench run;
      c.arrange(run);
      const std::size_t requests = run.bench.device().requests().size();
      run.start(run.image("QV82HS-BL", c.cut));
      QVERIFY2(run.window.isVisible(), c.name);
      QCOMPARE(run.bench.ui.errors().size(), std::size_t{1});
      const std::string error = run.bench.ui.errors()[0];
      QVERIFY2(error.ends_with(kStaysInMonitor) == c.in_monitor, error.c_str());
      QCOMPARE(run.bench.device().in_monitor(), c.in_monitor);
      if (!c.in_monitor) QCOMPARE(run.bench.device().requests().size(), requests);
      QVERIFY2(run.window.start_button->isEnabled() && run.window.close_button->isEnabled(), c.name);
      if (c.status) QCOMPARE(run.window.status_text_label->text(), QString(c.status));
      QVERIFY(!run.window.model().completed);
    }
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::FirmwareWindowTest)
#include "firmware_window_test.moc"
