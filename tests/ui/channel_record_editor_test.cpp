// The channel record editor of the channels page and of coin programming: each control is
// bound to its own field of the view.
#include "ui/channel_record_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>
#include <tuple>

#include "channels/channel_record.h"
#include "support/gui_test_main.h"

namespace qv82::test {

namespace {

ChannelView shown_view() {
  ChannelView v;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    v.parameters[k] = 10 + k;
    v.tolerances[k] = 30 + k;
  }
  v.selective = v.enabled = true;
  v.direction = 2;
  v.cvf = 3;
  v.mint = 1;
  v.country = 5;
  v.value = 1000;  // above what coin programming lets the user type
  return v;
}

}  // namespace

class ChannelRecordEditorTest : public QObject {
  Q_OBJECT

 private slots:
  // One user edit of a control changes its field of the view, and only that one.
  void eachControlEditsItsField() {
    using V = ChannelView;
    for (const bool coin : {false, true}) {
      ChannelRecordEditor e(coin ? kCoinProgrammingStyle : kChannelsPageStyle);
      // The control, its new value (a spin box's value, a list's item; a check box is clicked)
      // and the field that changes.
      const std::tuple<QWidget*, int, void (*)(V&)> bindings[] = {
          {e.parameters[0], 99, [](V& v) { v.parameters[0] = 99; }},
          {e.parameters[12], 98, [](V& v) { v.parameters[12] = 98; }},
          {e.tolerances[0], 97, [](V& v) { v.tolerances[0] = 97; }},
          {e.tolerances[12], 96, [](V& v) { v.tolerances[12] = 96; }},
          {e.cctalk_box, 0, [](V& v) { v.cctalk = true; }},
          {e.sel_box, 0, [](V& v) { v.selective = false; }},
          {e.fake_box, 0, [](V& v) { v.fake = true; }},
          {e.enabled_box, 0, [](V& v) { v.enabled = false; }},
          {e.direction_box, 4, [](V& v) { v.direction = 4; }},
          {e.cvf_box, 7, [](V& v) { v.cvf = 7; }},
          {e.mint_box, 2, [](V& v) { v.mint = 2; }},
          {e.country_box, 180, [](V& v) { v.country = 180; }},
          {e.value_box, 200, [](V& v) { v.value = 200; }},
      };
      int row = 0;
      for (const auto& [control, typed, changes] : bindings) {
        ++row;
        QVERIFY(control != nullptr);
        e.show_view(shown_view());
        QSignalSpy edited(&e, &ChannelRecordEditor::edited);
        QCOMPARE(e.view(), shown_view());  // drawn as it is, without an edit
        QCOMPARE(edited.count(), 0);
        if (auto* spin = qobject_cast<QSpinBox*>(control)) {
          spin->setValue(typed);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
          check->click();
        } else {
          QVERIFY(qobject_cast<QComboBox*>(control) != nullptr);
          qobject_cast<QComboBox*>(control)->setCurrentIndex(typed);
        }
        V expected = shown_view();
        changes(expected);
        QVERIFY2(e.view() == expected, qPrintable(QString("row %1").arg(row)));
        QVERIFY(edited.count() >= 1);
      }
    }
  }

  // An erased record (nothing selected, the largest value) comes back as drawn; the lists and
  // the keyboard's limit for "Val." are the screen's own.
  void screensDifferInTheCvfListAndWhatValTakesFromTheKeyboard() {
    const ChannelView erased = StrToChannel(erased_channel_record()).view;
    for (const bool coin : {false, true}) {
      ChannelRecordEditor editor(coin ? kCoinProgrammingStyle : kChannelsPageStyle);
      editor.show_view(erased);
      QCOMPARE(editor.view(), erased);
      // The thirteenth code has a name only on the channels page.
      QCOMPARE(editor.cvf_box->count(), 16);
      QCOMPARE(editor.cvf_box->itemText(12), QString(coin ? "..." : "1K0"));
      editor.value_box->selectAll();
      QTest::keyClicks(editor.value_box, "1000");
      QCOMPARE(editor.value_box->value(), coin ? 100 : 1000);
      editor.value_box->selectAll();
      QTest::keyClicks(editor.value_box, "256");
      QCOMPARE(editor.value_box->value(), coin ? 25 : 256);
    }
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::ChannelRecordEditorTest)
#include "channel_record_editor_test.moc"
