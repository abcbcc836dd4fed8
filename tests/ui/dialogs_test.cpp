#include "support/gui_test_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include "ui/address_dialog.h"
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
    dialog.new_address_box->setValue(7);
    dialog.confirm();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(bench.ui.informations(), std::vector<std::string>{"Address changed"});
    QCOMPARE(int{bench.app.link.device_address}, 7);
    QCOMPARE(int{bench.setup.device().address()}, 7);
  }

  // A refused PIN sends nothing and leaves the dialog open with its fields cleared.
  void pinDialogChecksFieldsBeforeSending() {
    WindowBench bench;
    PinDialog& dialog = *bench.window.pin_dialog;
    dialog.show();
    // Letters turn upper case and the fields hold eight characters.
    QTest::keyClicks(dialog.pin_edit, "abcdef123");
    QCOMPARE(dialog.pin_edit->text(), QString("ABCDEF12"));
    const std::array<const char*, 3> cases[] = {
        {"ABCDEF12", "8765432", "8765432"}, {"12345678", "87654321", "87654320"},
        {"12345678", "87654321", "87654321"}};
    for (const auto& [pin, new_pin, confirmation] : cases) {
      bench.ui.clear();
      dialog.pin_edit->setText(pin);
      dialog.new_pin_edit->setText(new_pin);
      dialog.confirm_pin_edit->setText(confirmation);
      dialog.confirm();
      const bool taken = std::string(new_pin) == confirmation && std::string(new_pin).size() == 8;
      QCOMPARE(bench.ui.errors().size(), std::size_t{taken ? 0u : 1u});
      QCOMPARE(bench.setup.line().written().empty(), !taken);
      QVERIFY(dialog.isVisible() != taken && dialog.pin_edit->text().isEmpty());
    }
    QCOMPARE(bench.ui.informations(), std::vector<std::string>{"Operation finished"});
    QCOMPARE(bench.setup.device().pin(), (Bytes{0x87, 0x65, 0x43, 0x21}));
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
