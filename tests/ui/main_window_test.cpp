#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "support/gui_test_main.h"
#include "config/working_images.h"
#include "ui/activity_indicator.h"
#include "ui/coin_programming_window.h"
#include "ui/device_info_panel.h"
#include "ui/erase_dialog.h"
#include "ui/firmware_window.h"
#include "ui/production_test_window.h"
#include "ui/selector_test_window.h"
#include "window_bench.h"

namespace qv82::test {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Start-up fills the fields from the simulated device; each tool bar button opens its window
  // and the main window is usable again after it; the title bar's close asks what Exit asks.
  void startUpFillsTheFieldsTheToolBarOpensEachWindowAndCloseAsks() {
    WindowBench bench;
    MainWindow& w = bench.window;
    QVERIFY(w.start_up_once());
    QStringList shown;
    for (QLabel* value : w.device_panel->values) shown << value->text();
    QCOMPARE(shown,
             (QStringList{"QV82", "1234567", "B01", "QV82HS-1.02", "2007/3/9", "2010/6/15"}));
    QVERIFY(bench.ui.errors().empty());
    const std::string found = "Coin selector with address 2 found at  SIM";

    const std::pair<QAction*, QDialog*> routes[] = {
        {w.program_coins_action, w.coin_programming_window},
        {w.erase_action, w.erase_dialog},
        {w.upgrade_action, w.firmware_window},
        {w.test_action, w.selector_test_window},
        {w.factory_test_action, w.production_test_window}};
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
      QVERIFY(!dialog->isVisible() && bench.ui.errors().empty());
      QVERIFY(w.tool_bar->isEnabled() && w.pages->isEnabled());
      // Closing the erasing dialog still reads the counters again, the firmware window searches.
      if (button == w.erase_action) {
        QVERIFY(w.app.configuration.images.loaded_sections & kSectionStatistics);
      }
      if (button == w.upgrade_action) QVERIFY(bench.contains(bench.ui.informations(), found));
    }

    // The window is off while a transfer waits.
    int waits = 0;
    int enabled_while_waiting = 0;
    bench.clock().on_wait = [&] {
      ++waits;
      enabled_while_waiting += w.tool_bar->isEnabled() || w.pages->isEnabled() ||
                               w.settings_panel->isEnabled() ||
                               !w.device_panel->busy_indicator->animated();
    };
    w.search_action->trigger();
    bench.clock().on_wait = nullptr;
    QVERIFY(waits > 10);
    QCOMPARE(enabled_while_waiting, 0);
    QVERIFY(w.tool_bar->isEnabled() && w.pages->isEnabled());
    QVERIFY(!w.device_panel->busy_indicator->animated());

    w.show();
    bench.ui.clear();
    bench.ui.answers = {Answer::No, Answer::Yes};
    QVERIFY(!w.close());
    QCOMPARE(bench.ui.questions(), std::vector<std::string>{"Close application?"});
    QVERIFY(w.close());
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::MainWindowTest)
#include "main_window_test.moc"
