#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

#include "lang/language.h"
#include "ui/activity_indicator.h"
#include "ui/device_info_panel.h"
#include "window_bench.h"

namespace qv82::test {

class MainFrmTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpFindsTheSimulatedDeviceAndFillsTheFields() {
    WindowBench bench;
    QVERIFY(bench.window.FormActivate());

    const QStringList expected = {"QV82", "1234567", "B01", "QV82HS-1.02", "2007/3/9", "2010/6/15"};
    QStringList shown;
    for (QLabel* value : bench.window.device_panel->values) shown << value->text();
    QCOMPARE(shown, expected);
    QCOMPARE(bench.window.device_panel->captions[0]->text(), QString("Product code:"));
    QVERIFY(bench.contains(bench.ui.informations(), "Coin selector with address 2 found at  SIM"));
    QVERIFY(bench.ui.errors().empty());

    QCOMPARE(bench.window.windowTitle(),
             QString("QV82HS programming and configuration utility ver 1.000"));
    QStringList captions;
    for (QAction* action : bench.window.tool_bar->actions()) {
      if (!action->isSeparator()) captions << action->text();
    }
    QCOMPARE(captions,
             (QStringList{"File Open", "File Save", "Upload", "Download", "Erase", "Coins prog.",
                          "Upgrade", "Test", " Factory test", "Search", "Exit"}));
    QVERIFY(bench.window.SpeedButton7->isVisible());
    QVERIFY(bench.window.PageControl1->isEnabled());
    QVERIFY(!bench.window.device_panel->Animate1->animated());

    // The advice about the screen follows the screen the window is on.
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const bool small = screen.width() < 1024 || screen.height() < 768;
    QCOMPARE(bench.contains(bench.ui.informations(), "Recomended screen resolution is 1024 x 768"),
             small);
  }

  void busyIndicationDisablesTheWindowDuringEachTransfer() {
    WindowBench bench;
    QVERIFY(bench.window.FormActivate());
    int waits = 0;
    int enabled_while_waiting = 0;
    bench.clock().on_wait = [&] {
      ++waits;
      TMainFrm& w = bench.window;
      if (w.tool_bar->isEnabled() || w.PageControl1->isEnabled() || w.settings_panel->isEnabled() ||
          !w.device_panel->Animate1->animated()) {
        ++enabled_while_waiting;
      }
    };
    bench.window.SpeedButton11->trigger();
    bench.clock().on_wait = nullptr;

    QVERIFY(waits > 10);
    QCOMPARE(enabled_while_waiting, 0);
    QVERIFY(bench.window.tool_bar->isEnabled());
    QVERIFY(bench.window.PageControl1->isEnabled());
    QVERIFY(bench.window.settings_panel->isEnabled());
    QVERIFY(!bench.window.device_panel->Animate1->animated());
  }

  void exitAsksAndOnlyYesCloses() {
    WindowBench bench;
    QVERIFY(bench.window.FormActivate());
    bench.window.show();
    bench.ui.clear();

    bench.ui.answers = {Answer::No};
    bench.window.SpeedButton12->trigger();
    QVERIFY(bench.window.isVisible());
    bench.ui.answers = {Answer::No};
    QVERIFY(!bench.window.close());  // the title bar's close asks the same
    QCOMPARE(bench.ui.questions(),
             (std::vector<std::string>{"Close application?", "Close application?"}));

    bench.ui.answers = {Answer::Yes};
    bench.window.SpeedButton12->trigger();
    QVERIFY(!bench.window.isVisible());
  }

  void brokenAddressSettingStopsStartUpWithAnError() {
    WindowBench bench("");
    QFile file(bench.dir.filePath("qv82hs.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[SETTINGS]\nccTalkAddr=X2\n[SUPPORTED TYPES]\nQV82=\n");
    file.close();

    QVERIFY(!bench.window.FormActivate());
    QCOMPARE(bench.ui.errors().size(), std::size_t{1});
    QVERIFY(bench.ui.errors()[0].find("ccTalkAddr") != std::string::npos);
    QVERIFY(bench.window.tool_bar->isEnabled());
    QVERIFY(bench.setup.device().requests().empty());
  }
};

}  // namespace qv82::test

QTEST_MAIN(qv82::test::MainFrmTest)
#include "main_frm_test.moc"
