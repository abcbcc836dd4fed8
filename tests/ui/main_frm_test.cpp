#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "config/working_images.h"
#include "lang/language.h"
#include "ui/activity_indicator.h"
#include "ui/check_frm.h"
#include "ui/config_page.h"
#include "ui/config_page_widgets.h"
#include "ui/cprg_frm.h"
#include "ui/device_info_panel.h"
#include "ui/dwnl_frm.h"
#include "ui/er_frm.h"
#include "ui/ft_frm.h"
#include "ui/stats_page.h"
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

  void startUpFillsTheConfigurationAndStatisticsPages() {
    WindowBench bench;
    QVERIFY(bench.window.FormActivate());
    QVERIFY(bench.ui.errors().empty());

    // The first standard configuration of the installation, on page 0.
    const ConfigPage& config = *bench.window.config_page;
    QCOMPARE(bench.window.PageControl1->widget(TMainFrm::kConfigurationPage), &config);
    QCOMPARE(config.versions->currentText(), QString("Vending standard"));
    QVERIFY(config.io_group->isVisibleTo(&bench.window));
    QCOMPARE(config.rows[0].function->currentText(), QString("Coin pulse"));
    QVERIFY(config.rows[0].channels[0]->isChecked() && config.rows[0].channels[1]->isChecked());
    QVERIFY(!config.rows[0].channels[2]->isChecked());
    QVERIFY(bench.window.Button8->isVisibleTo(&bench.window));

    // Every statistics row offers the option names, the first one chosen.
    const StatisticsPageWidget& statistics = *bench.window.statistics_page;
    QCOMPARE(bench.window.PageControl1->widget(TMainFrm::kStatisticsPage), &statistics);
    for (const QComboBox* row : statistics.settings) {
      QCOMPARE(row->count(), 26);
      QCOMPARE(row->currentText(), QString("Not used"));
    }
  }

  void toolBarOpensEachWindowAndGivesTheWindowBackAfterIt() {
    WindowBench bench;
    QVERIFY(bench.window.FormActivate());
    TMainFrm& w = bench.window;
    const std::pair<QAction*, QDialog*> routes[] = {{w.SpeedButton1, w.CprgFrm},
                                                    {w.SpeedButton8, w.ErFrm},
                                                    {w.SpeedButton2, w.DwnlFrm},
                                                    {w.SpeedButton6, w.CheckFrm},
                                                    {w.SpeedButton7, w.FtFrm}};
    for (const auto& [button, dialog] : routes) {
      bench.ui.clear();
      QPointer<QWidget> opened;
      // Closed once the window has had its own start.
      QTimer::singleShot(0, &w, [&opened] {
        opened = QApplication::activeModalWidget();
        QTimer::singleShot(0, opened, [&opened] {
          if (auto* shown = qobject_cast<QDialog*>(opened.data())) shown->reject();
        });
      });
      button->trigger();
      QCOMPARE(opened.data(), dialog);
      QVERIFY(!dialog->isVisible());
      QVERIFY(bench.ui.errors().empty());
      QVERIFY(w.tool_bar->isEnabled() && w.PageControl1->isEnabled());
      QVERIFY(!w.device_panel->Animate1->animated());
      if (button == w.SpeedButton8) {
        // Closing the erasing dialog still reads the counters again.
        QVERIFY(w.app.configuration.images.loaded_sections & kSectionStatistics);
      }
      if (button == w.SpeedButton2) {
        QVERIFY(
            bench.contains(bench.ui.informations(), "Coin selector with address 2 found at  SIM"));
      }
    }
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
