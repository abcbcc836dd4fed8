// The main window on a technician's laptop: keyboard shortcuts, and password
// dialogs that say what they ask for.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <deque>

#include "support/gui_test_main.h"
#include "support/selector_bench.h"
#include "ui/password_dialog.h"
#include "ui/qt_ui.h"
#include "window_bench.h"

namespace qv82::test {

class DesktopTest : public QObject {
  Q_OBJECT

 private slots:
  void eachShortcutTriggersItsAction() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    MainWindow& w = bench.window;
    w.show();
    QApplication::setActiveWindow(&w);  // keys go to the active window only
    QVERIFY(QTest::qWaitForWindowActive(&w));
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
