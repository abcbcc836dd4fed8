// The main window on a technician's laptop: keyboard shortcuts, Tab, a
// 1366 x 768 screen with a task bar, and password dialogs that say what
// they ask for.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <deque>
#include <set>

#include "support/gui_test_main.h"
#include "support/selector_bench.h"
#include "ui/device_info_panel.h"
#include "ui/password_dialog.h"
#include "ui/qt_ui.h"
#include "window_bench.h"

namespace qv82::test {

// Keys go to the active window only.
static bool shown_active(MainWindow& w) {
  w.show();
  QApplication::setActiveWindow(&w);
  return QTest::qWaitForWindowActive(&w);
}

class DesktopTest : public QObject {
  Q_OBJECT

 private slots:
  void eachShortcutTriggersItsAction() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    MainWindow& w = bench.window;
    QVERIFY(shown_active(w));
    const std::pair<QAction*, const char*> keys[] = {
        {w.open_file_action, "Ctrl+O"},    {w.save_file_action, "Ctrl+S"},
        {w.upload_action, "Ctrl+U"},       {w.download_action, "Ctrl+D"},
        {w.erase_action, "Ctrl+E"},        {w.program_coins_action, "Ctrl+P"},
        {w.upgrade_action, "Ctrl+G"},      {w.test_action, "Ctrl+T"},
        {w.factory_test_action, "Ctrl+F"}, {w.search_action, "F5"},
        {w.exit_action, "Ctrl+Q"},
    };
    for (const auto& [action, key] : keys) {
      // Only whether the key reaches the action: what the action does has
      // tests of its own.
      QObject::disconnect(action, &QAction::triggered, &w, nullptr);
      QSignalSpy triggered(action, &QAction::triggered);
      QTest::keySequence(&w, QKeySequence(key));
      QVERIFY2(triggered.count() == 1, key);
    }
  }

  void tabReachesEveryToolBarButton() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    MainWindow& w = bench.window;
    QVERIFY(shown_active(w));
    std::set<QWidget*> reached;
    for (int i = 0; i < 400; ++i) {
      QWidget* focus = QApplication::focusWidget();
      QVERIFY(focus != nullptr);
      reached.insert(focus);
      QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (QAction* action : w.tool_bar->actions()) {
      if (action->isSeparator()) continue;
      QVERIFY2(reached.count(w.tool_bar->widgetForAction(action)) == 1, qPrintable(action->text()));
    }
  }

  void factoryTestIsShownBeforeTheStartUpSearch() {
    WindowBench bench;
    MainWindow& w = bench.window;
    QVERIFY(w.factory_test_action->isVisible());
    // Start-up runs from a timer after the first show: not yet here.
    w.show();
    QVERIFY(!w.app.factory_test_visible);
    QVERIFY(w.tool_bar->widgetForAction(w.factory_test_action)->isVisible());
  }

  // 768 pixels less a task bar and the title bar, on a 1024 and a 1366
  // pixel wide screen: the pages scroll, the device panel stays in view with
  // all three of its rows whole.
  void windowFitsTheCommonScreens() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    MainWindow& w = bench.window;
    const QSize least = w.minimumSizeHint();
    QVERIFY2(least.width() <= 1024 && least.height() <= 690,
             qPrintable(QString("%1 x %2").arg(least.width()).arg(least.height())));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (const QSize screen : {QSize(1024, 690), QSize(1366, 700)}) {
      w.resize(screen);
      QApplication::processEvents();
      QCOMPARE(w.size(), screen);
      for (int page = 0; page < w.pages->count(); ++page) {
        w.pages->setCurrentIndex(page);
        QApplication::processEvents();
        QVERIFY(w.device_panel->isVisible());
        for (QLabel* label : w.device_panel->values) {
          const QRect drawn(label->mapTo(&w, QPoint(0, 0)), label->size());
          QVERIFY2(w.rect().contains(drawn) && label->height() >= label->sizeHint().height(),
                   qPrintable(QString("page %1 at %2: %3").arg(page).arg(screen.width()).arg(label->text())));
        }
        // What does not fit can be scrolled to.
        const int needed = w.pages->minimumSizeHint().height();
        if (needed > w.pages_scroll->viewport()->height()) {
          QVERIFY(w.pages_scroll->verticalScrollBar()->maximum() > 0);
        }
      }
    }
  }

  // The dialogs a read of the channels brings up, through the real dialog:
  // what each says inside, and the note after a refused factory password.
  void passwordDialogSaysWhichPasswordAndWhy() {
    const QString refused = "The factory password was refused.";
    struct Case {
      const char* name;
      sim::SetupOptions masks;
      std::deque<QString> typed;
      QStringList shown;  // prompt | note of each dialog
    };
    const Case cases[] = {
        {"factory", with_masks(0, 0, 0, 0), {"123456789ABC"}, {"Enter factory password|"}},
        {"refused, then PIN",
         with_masks(0, 0, 0, 0),
         {"000000000000", "12345678"},
         {"Enter factory password|", "Enter PIN|" + refused}},
        {"PIN only", with_masks(0xFF, 0xFF, 0, 0), {"12345678"}, {"Enter PIN|"}},
    };
    for (const Case& c : cases) {
      QWidget parent;
      QtUi ui(&parent);
      SelectorBench bench(c.masks);
      QVERIFY(bench.selector.identify_device());
      CoinSelector selector(bench.link, bench.state, ui, bench.settings);
      std::deque<QString> typed = c.typed;
      QStringList shown;
      QTimer driver;
      connect(&driver, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<PasswordDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || typed.empty()) return;
        shown << dialog->prompt_label->text() + "|" +
                     (dialog->note_label->isVisible() ? dialog->note_label->text() : QString());
        dialog->password_edit->setText(typed.front());
        typed.pop_front();
        QTimer::singleShot(0, dialog,
                           [dialog] { QTest::keyClick(dialog->password_edit, Qt::Key_Return); });
      });
      driver.start(5);
      QCOMPARE(selector.read_channel(1), kMemoryOk);
      driver.stop();
      QVERIFY2(shown == c.shown, qPrintable(QString(c.name) + ": " + shown.join(" / ")));
    }
  }

};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::DesktopTest)
#include "desktop_test.moc"
