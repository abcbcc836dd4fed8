// The main window over the real serial path (QSerialPort on the pseudo-terminal of
// qv82hs-sim) when the device's port goes away mid-download or while the window sits idle.
#include <QAction>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <memory>

#include "support/gui_test_main.h"
#include "app/application.h"
#include "sim/factory_image.h"
#include "sim/image_file.h"
#include "ui/channels_page_widget.h"
#include "support/fake_ui.h"
#include "support/processes.h"
#include "ui/activity_indicator.h"
#include "ui/device_info_panel.h"
#include "ui/main_window.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

namespace qv82::test {

namespace {

// The window on a scratch working directory whose settings remember the
// simulator's link as the port.
struct PtyWindowBench {
  PtyWindowBench() : link(dir.filePath("qv82").toStdString()) {
    for (const char* name : {kIoFileName, kTemplateFileName}) {
      QFile::copy(QStringLiteral(QV82_SOURCE_DIR "/data/") + name, dir.filePath(name));
    }
    QFile installed(QStringLiteral(QV82_SOURCE_DIR "/data/") + kSettingsFileName);
    QFile settings(dir.filePath(kSettingsFileName));
    if (installed.open(QIODevice::ReadOnly) && settings.open(QIODevice::WriteOnly)) {
      settings.write(installed.readAll().replace("ComPort=/dev/ttyUSB0",
                                                 "ComPort=" + QByteArray::fromStdString(link)));
    }
    // The search tries the link before the system's ports.
    port.set_extra_ports({link});
    app = std::make_unique<Application>(port, pump, ui, dir.path().toStdString());
    window = std::make_unique<MainWindow>(*app);
  }

  bool idle() const {
    return window->tool_bar->isEnabled() && window->pages->isEnabled() &&
           !window->device_panel->busy_indicator->animated();
  }

  QTemporaryDir dir;
  std::string link;
  QtSerialPort port;
  QtEventPump pump;
  FakeUi ui;
  std::unique_ptr<Application> app;
  std::unique_ptr<MainWindow> window;
};

}  // namespace

class VanishedPortTest : public QObject {
  Q_OBJECT

 private slots:
  // Pulled while a download writes: the message names the port and says the download did not
  // complete, and nothing was stored. A Search
  // finds the device back (a new terminal under the same name); pulled while the window sits
  // idle, the loss is told once.
  void downloadCutShortSearchRecoversAndAnIdleLossIsToldOnce() {
    PtyWindowBench bench;
    const std::vector<std::string> gone = {bench.link + " was disconnected"};
    const std::string image = bench.dir.filePath("stored.txt").toStdString();
    {
      SimOnPty sim({"--link", bench.link, "--vanish-after", "2200", "--save-image", image});
      QVERIFY(bench.window->start_up_once());
      bench.window->upload_action->trigger();
      bench.window->channels_page->record->value_box->setValue(321);
      bench.ui.clear();
      bench.window->download_action->trigger();
      QCOMPARE(bench.ui.errors().size(), std::size_t{1});
      const std::string told = bench.ui.errors()[0];
      QVERIFY2(told.starts_with(gone[0] + "\nThe download did not complete: "), told.c_str());
      QVERIFY(bench.ui.informations().empty() && !bench.port.connected() && bench.idle());
      QCOMPARE(sim.stop(), 0);
    }
    sim::Memory::Image stored{};
    std::string error;
    QVERIFY2(sim::load_image_file(image, stored, error), error.c_str());
    QVERIFY(stored == sim::factory_image());

    bench.ui.clear();
    auto sim = std::make_unique<SimOnPty>(std::vector<std::string>{"--link", bench.link});
    bench.window->search_action->trigger();
    QCOMPARE(bench.ui.informations(),
             std::vector<std::string>{"Coin selector with address 2 found at  " + bench.link});
    QVERIFY(bench.ui.errors().empty() && bench.port.connected() && bench.idle());
    sim.reset();
    QTRY_VERIFY(!bench.ui.errors().empty());
    QCOMPARE(bench.ui.errors(), gone);
    QVERIFY(!bench.port.connected());
    // Said once: the port checks queued behind the message (zero timers run in order) find
    // nothing more to say.
    bool queue_ran = false;
    QTimer::singleShot(0, [&queue_ran] { queue_ran = true; });
    QTRY_VERIFY(queue_ran);
    QCOMPARE(bench.ui.errors().size(), std::size_t{1});
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::VanishedPortTest)
#include "vanished_port_test.moc"
