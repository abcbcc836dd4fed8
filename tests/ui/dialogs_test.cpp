#include "support/gui_test_main.h"
#include "device/dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <deque>

#include "ui/address_dialog.h"
#include "ui/configuration_name_dialog.h"
#include "ui/password_dialog.h"
#include "ui/pin_dialog.h"
#include "ui/qt_ui.h"
#include "window_bench.h"

namespace qv82::test {

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void addressDialogShowsCurrentAddressAndChangesIt() {
    WindowBench bench;
    AddressDialog& dialog = *bench.window.address_dialog;
    dialog.show();
    QCOMPARE(dialog.current_address->text(), QString("2"));
    QCOMPARE(dialog.new_address_box->value(), 2);
    for (const auto& [typed, kept] : {std::pair{1, 2}, std::pair{255, 254}, std::pair{7, 7}}) {
      dialog.new_address_box->setValue(typed);
      QCOMPARE(dialog.new_address_box->value(), kept);
    }
    dialog.confirm();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(bench.ui.informations(), std::vector<std::string>{"Address changed"});
    QCOMPARE(int{bench.app.link.device_address}, 7);
    QCOMPARE(int{bench.setup.device().address()}, 7);
  }

  // Laid out as narrow as their fields, the small dialogs would cut their
  // titles: each opens wide enough for its title and the title bar's buttons.
  void smallDialogsOpenWideEnoughForTheirTitle() {
    WindowBench bench;
    for (QDialog* dialog : std::initializer_list<QDialog*>{
             bench.window.address_dialog, bench.window.pin_dialog,
             bench.window.configuration_name_dialog}) {
      dialog->show();
      const int title = QFontMetrics(dialog->font()).horizontalAdvance(dialog->windowTitle());
      QVERIFY2(title > 0 && dialog->width() >= title + 150,
               qPrintable(dialog->windowTitle() + ": " + QString::number(dialog->width())));
      dialog->reject();
    }
  }

  void pinDialogChecksFieldsBeforeSending() {
    WindowBench bench;
    PinDialog& dialog = *bench.window.pin_dialog;
    dialog.show();
    // Letters turn upper case and the fields hold eight characters.
    QTest::keyClicks(dialog.pin_edit, "abcdef123");
    QCOMPARE(dialog.pin_edit->text(), QString("ABCDEF12"));

    const auto confirm = [&dialog](const char* pin, const char* new_pin) {
      dialog.pin_edit->setText(pin);
      dialog.new_pin_edit->setText(new_pin);
      dialog.confirm_pin_edit->setText(new_pin);
      dialog.confirm();
    };
    confirm("ABCDEF12", "8765432");
    QCOMPARE(bench.ui.errors(), std::vector<std::string>{"Incorrect password length"});
    QVERIFY(bench.setup.line().written().empty());
    QVERIFY(dialog.isVisible() && dialog.pin_edit->text().isEmpty());

    bench.ui.clear();
    confirm("12345678", "87654321");
    QCOMPARE(bench.ui.informations(), std::vector<std::string>{"Operation finished"});
    QVERIFY(!dialog.isVisible());
    QCOMPARE(bench.setup.device().pin(), (Bytes{0x87, 0x65, 0x43, 0x21}));
  }

  void configurationNameDialogRefusesEmptyAndUsedNames() {
    FakeUi ui;
    ConfigurationNameDialog dialog(ui, [] { return std::vector<std::string>{"Standard", "Bar"}; });
    dialog.show();
    const std::pair<const char*, const char*> cases[] = {
        {"", "Type name first"}, {" Standard ", "Name is already used"}, {"Arcade", nullptr}};
    for (const auto& [name, shown] : cases) {
      ui.clear();
      dialog.name_edit->setText(name);
      dialog.confirm();
      QCOMPARE(dialog.result() == QDialog::Accepted, shown == nullptr);  // closed when accepted
      QCOMPARE(ui.shown.size(), std::size_t{shown ? 1u : 0u});
      if (shown) QCOMPARE(ui.shown[0].text, std::string(shown));
    }
    QCOMPARE(dialog.name(), std::string("Arcade"));
  }

  // The real dialogs, driven the way a person would: each modal window that
  // comes up gets the next scripted action.
  void passwordDialogStaysOpenUntilTheTextIsValid() {
    QWidget parent;
    QtUi ui(&parent);
    std::deque<QString> typed = {"12345", " 123456789abc"};
    QStringList boxes;
    bool pressing = false;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        boxes << box->text();
        box->accept();
      } else if (auto* dialog = qobject_cast<PasswordDialog*>(modal);
                 dialog && !typed.empty() && !pressing) {
        QCOMPARE(dialog->password_edit->echoMode(), QLineEdit::Password);
        dialog->password_edit->clear();
        QTest::keyClicks(dialog->password_edit, typed.front());
        typed.pop_front();
        // Pressed from a timer of its own: an error box opened by the key
        // runs a nested loop in which this driver must fire again.
        pressing = true;
        QTimer::singleShot(0, dialog, [dialog, &pressing] {
          pressing = false;
          QTest::keyClick(dialog->password_edit, Qt::Key_Return);
        });
      }
    });
    driver.start(5);
    const std::string caption = "Enter factory password";
    const auto text = ui.password(
        caption, "", [&](const std::string& t) { return validate_password(caption, t); });
    driver.stop();
    QCOMPARE(boxes, QStringList{"Incorrect password length"});
    QVERIFY(text.has_value());
    QCOMPARE(*text, std::string(" 123456789ABC"));
  }

  void fileFiltersTakeTheDialogForm() {
    const std::pair<const char*, const char*> cases[] = {
        {"Text files|*.txt", "Text files (*.txt)"},
        {"Xml files|*.xml|All files|*.*", "Xml files (*.xml);;All files (*.*)"},
        {"Images|*.u19;*.hex", "Images (*.u19 *.hex)"},
        {"U record (*.u19)|*.u19", "U record (*.u19)"},  // the pattern is not shown twice
    };
    for (const auto& [filter, shown] : cases) QCOMPARE(dialog_filter(filter), QString(shown));
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::DialogsTest)
#include "dialogs_test.moc"
