// The tool bar against a device that is missing, waiting in its monitor, or
// refusing a write half-way, in virtual time.
#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <fstream>

#include "firmware/srecord_writer.h"
#include "support/gui_test_main.h"
#include "ui/firmware_window.h"
#include "window_bench.h"

namespace qv82::test {

class MainWindowDeviceTest : public QObject {
  Q_OBJECT

 private slots:
  // Without a device, Erase and Test say so and ask for nothing.
  void eraseAndTestWithoutADeviceSayItIsNotFound() {
    for (const bool erase : {true, false}) {
      WindowBench bench;
      QVERIFY(bench.window.start_up_once());
      bench.window.app.link.device_address = 9;  // nothing answers there
      bench.ui.clear();
      const std::size_t requests = bench.setup.device().requests().size();
      (erase ? bench.window.erase_action : bench.window.test_action)->trigger();
      QCOMPARE(bench.ui.errors(), std::vector<std::string>{"Coin selector not found!"});
      QVERIFY(bench.ui.password_prompts().empty());
      QCOMPARE(bench.setup.device().requests().size(), requests);
      QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
    // Another maker's device answers: its one message is enough.
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    bench.setup.device().config().manufacturer = "Elsewhere";
    bench.ui.clear();
    bench.window.erase_action->trigger();
    QCOMPARE(bench.ui.errors(), std::vector<std::string>{"This is not Corvanti device"});
  }

  // Found in its monitor at start-up, upgraded, then found again running the
  // new firmware.
  void upgradeFromTheStartUpQuestionSearchesAgain() {
    WindowBench bench;
    bench.setup.device().enter_monitor();
    const std::string image = bench.dir.filePath("new.u19").toStdString();
    std::ofstream(image) << write_srecord_image({"QV82HS-BL", "QV82HS-4.00", 0, Bytes(64, 1), 32});
    bench.ui.answers = {Answer::Yes};
    bench.ui.open_files = {image};
    QTimer::singleShot(0, &bench.window, [&bench] {
      bench.window.firmware_window->open_button->click();
      bench.window.firmware_window->start_button->click();
    });
    bench.window.start_up_once();

    QVERIFY(bench.window.firmware_window->model().completed);
    const std::vector<std::string> shown = bench.ui.informations();
    const auto finished = std::find(shown.begin(), shown.end(), "Operation finished");
    QVERIFY(finished != shown.end());
    QVERIFY(std::find(finished, shown.end(), "Coin selector with address 2 found at  SIM") !=
            shown.end());
    QCOMPARE(bench.window.app.device.info.software_revision, std::string("QV82HS-4.00"));
  }

  // A download refused after three writes stores nothing, and the device is
  // restarted so that it runs what it has stored.
  void downloadRefusedHalfWayRestartsTheDeviceWithoutStoring() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    bench.window.upload_action->trigger();  // upload everything
    sim::Device& device = bench.setup.device();
    device.memory().poke(0x0570, Bytes(32, 0x11));  // differs from what the window holds
    const sim::Memory::Image stored = device.memory().nv();
    device.faults().nak = {{.prefix = {0xFF, 0x03}, .after = 3}};
    bench.ui.clear();

    bench.window.download_action->trigger();
    QCOMPARE(bench.ui.errors().size(), std::size_t{1});
    const std::string error = bench.ui.errors()[0];
    QVERIFY2(error.rfind("Writing error\n3 of ", 0) == 0, error.c_str());
    QVERIFY2(error.find(" items were written; none was stored.\nThe coin selector was restarted "
                        "and runs its stored configuration again.") != std::string::npos,
             error.c_str());
    QVERIFY(device.memory().nv() == stored);
    QVERIFY(device.memory().ram() == stored);
    QVERIFY(device.requests().back() == (Bytes{2, 0, 1, 0x01, 0xFC}));
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::MainWindowDeviceTest)
#include "main_window_device_test.moc"
