// The tool bar against a device that is missing or waiting in its monitor, in virtual time.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "firmware/srecord_writer.h"
#include "support/gui_test_main.h"
#include "ui/device_info_panel.h"
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
      (erase ? bench.window.erase_action : bench.window.test_action)->trigger();
      QCOMPARE(bench.ui.errors(), std::vector<std::string>{"Coin selector not found!"});
      QVERIFY(bench.ui.password_prompts().empty());
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

  // Found in its monitor at start-up, upgraded, then found again running the new firmware.
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
    // The search after the download shows the new firmware.
    QCOMPARE(bench.window.device_panel->values[3]->text(), QString("QV82HS-4.00"));
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::MainWindowDeviceTest)
#include "main_window_device_test.moc"
