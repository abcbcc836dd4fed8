// "Firmware upgrade" clicked through over the simulated coin selector and its
// boot monitor, in virtual time.
#include "support/gui_test_main.h"
#include "ui/firmware_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

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

  // Sends an image of 8 records of 32 bytes; cut drops its end record.
  void start(bool cut = false) {
    std::string text =
        write_srecord_image({"QV82HS-BL", "QV82HS-3.00", 0x4000, Bytes(256, 0x5A), 32});
    if (cut) text.erase(text.rfind("S9"));
    bench.dir.write("image.u19", text);
    bench.ui.open_files = {bench.dir.file("image.u19")};
    window.open_button->click();
    window.start_button->click();
  }

  SelectorBench bench;
  FirmwareWindow window{bench.selector};
  VirtualEvents events{dynamic_cast<sim::VirtualClock&>(bench.setup.clock())};
};

}  // namespace

class FirmwareWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Opened again, the window shows no file it would not send: Start asks for one.
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
    run.start();
    QVERIFY(locked && !run.window.isVisible());
    QCOMPARE(run.bench.ui.informations(), std::vector<std::string>{"Operation finished"});
    QVERIFY(!run.bench.device().in_monitor());
    Bytes reply;
    run.bench.link.cctalk_transaction(run.bench.link.device_address, Bytes{0xF1}, reply, 5);
    QCOMPARE(bytes_to_text(reply_data(reply)), std::string("QV82HS-3.00"));
    QCOMPARE(bar_maximum, 9);  // the records after the header, the end record last
    QCOMPARE(bar_value, 9);

    run.bench.ui.clear();
    run.bench.ui.on_shown = nullptr;
    run.window.show();
    QCOMPARE(run.window.file_name_label->text(), QString());
    const std::size_t requests = run.bench.device().requests().size();
    run.window.start_button->click();
    QCOMPARE(run.bench.ui.errors(), std::vector<std::string>{"Open file first!"});
    QCOMPARE(run.bench.device().requests().size(), requests);
  }

  // A file that cannot complete is refused before the device leaves its application; a
  // refused record or a pulled adapter leave it in its monitor. Either way the window stays,
  // ready to start again, and says where the device is.
  void failuresLeaveTheWindowReadyAndSayWhereTheDeviceIs() {
    for (const int c : {0, 1, 2}) {  // cut file, refused record, adapter pulled
      FirmwareBench run;
      if (c == 1) run.bench.device().monitor().fail_record(3, '2', 1);
      if (c == 2) {
        auto render = run.window.model().view_changed;
        run.window.model().view_changed = [&run, render, pulled = false]() mutable {
          render();
          if (pulled || run.window.progress->value() < 3) return;
          pulled = true;  // inside the next record's transfer
          run.bench.setup.scheduler().schedule_in_us(
              3000, [&run] { run.bench.setup.line().remove_port("SIM"); });
        };
      }
      const std::size_t requests = run.bench.device().requests().size();
      run.start(c == 0);
      QVERIFY(run.window.isVisible());
      QCOMPARE(run.bench.ui.errors().size(), std::size_t{1});
      const std::string error = run.bench.ui.errors()[0];
      QVERIFY2(error.ends_with(kStaysInMonitor) == (c > 0), error.c_str());
      QCOMPARE(run.bench.device().in_monitor(), c > 0);
      if (c == 0) QCOMPARE(run.bench.device().requests().size(), requests);
      QVERIFY(run.window.start_button->isEnabled() && run.window.close_button->isEnabled());
      if (c == 2) {
        QCOMPARE(run.window.status_text_label->text(),
                 QString("The firmware upgrade did not complete."));
      }
    }
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::FirmwareWindowTest)
#include "firmware_window_test.moc"
