// The channel record editor of the channels page and of coin programming: each control under
// its caption and bound to its own field of the view.
#include "ui/channel_record_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>
#include <functional>

#include "channels/channel_record.h"
#include "support/gui_test_main.h"

namespace qv82::test {

namespace {

// What the user reads for a control: a check box's own text, else the label at the top of its
// grid column or just before it in its row.
QString caption_of(QWidget* control) {
  if (auto* box = qobject_cast<QCheckBox*>(control); box != nullptr && !box->text().isEmpty())
    return box->text();
  QLayout* layout = control->parentWidget()->layout();
  const int index = layout->indexOf(control);
  QLayoutItem* item = nullptr;
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(index, &row, &column, &rows, &columns);
    item = grid->itemAtPosition(0, column);
  } else if (index > 0) {
    item = layout->itemAt(index - 1);
  }
  auto* label = item != nullptr ? qobject_cast<QLabel*>(item->widget()) : nullptr;
  return label != nullptr ? label->text() : QString("(no caption)");
}

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
  void eachControlSitsUnderItsCaptionAndEditsItsField() {
    using E = ChannelRecordEditor;
    struct Binding {
      const char* page_caption;
      const char* coin_caption;
      QWidget* (*control)(E&);
      int typed;  // a spin box's new value, a list's new item; a check box is clicked
      std::function<void(ChannelView&)> changes;
    };
    const Binding bindings[] = {
        {"1.", "1.", [](E& e) -> QWidget* { return e.parameters[0]; }, 99,
         [](ChannelView& v) { v.parameters[0] = 99; }},
        {"13.", "13.", [](E& e) -> QWidget* { return e.parameters[12]; }, 98,
         [](ChannelView& v) { v.parameters[12] = 98; }},
        {"1.", "1.", [](E& e) -> QWidget* { return e.tolerances[0]; }, 97,
         [](ChannelView& v) { v.tolerances[0] = 97; }},
        {"13.", "13.", [](E& e) -> QWidget* { return e.tolerances[12]; }, 96,
         [](ChannelView& v) { v.tolerances[12] = 96; }},
        {"ccTalk  Sel.", "ccTalk", [](E& e) -> QWidget* { return e.cctalk_box; }, 0,
         [](ChannelView& v) { v.cctalk = true; }},
        {"ccTalk  Sel.", "Sel.", [](E& e) -> QWidget* { return e.sel_box; }, 0,
         [](ChannelView& v) { v.selective = false; }},
        {"Fake    en.", "Fake", [](E& e) -> QWidget* { return e.fake_box; }, 0,
         [](ChannelView& v) { v.fake = true; }},
        {"Fake    en.", "En.", [](E& e) -> QWidget* { return e.enabled_box; }, 0,
         [](ChannelView& v) { v.enabled = false; }},
        {"Dir.", "Dir.", [](E& e) -> QWidget* { return e.direction_box; }, 4,
         [](ChannelView& v) { v.direction = 4; }},
        {"CVF", "CVF", [](E& e) -> QWidget* { return e.cvf_box; }, 7,
         [](ChannelView& v) { v.cvf = 7; }},
        {"Mint", "Mint", [](E& e) -> QWidget* { return e.mint_box; }, 2,
         [](ChannelView& v) { v.mint = 2; }},
        {"CC", "CC", [](E& e) -> QWidget* { return e.country_box; }, 180,
         [](ChannelView& v) { v.country = 180; }},
        {"Val.", "Val.", [](E& e) -> QWidget* { return e.value_box; }, 200,
         [](ChannelView& v) { v.value = 200; }},
    };
    for (const bool coin : {false, true}) {
      ChannelRecordEditor editor(coin ? kCoinProgrammingStyle : kChannelsPageStyle);
      for (const Binding& b : bindings) {
        QWidget* control = b.control(editor);
        QVERIFY(control != nullptr);
        QCOMPARE(caption_of(control), QString(coin ? b.coin_caption : b.page_caption));
        editor.show_view(shown_view());
        QSignalSpy edited(&editor, &ChannelRecordEditor::edited);
        QCOMPARE(editor.view(), shown_view());  // drawn as it is, without an edit
        QCOMPARE(edited.count(), 0);
        if (auto* spin = qobject_cast<QSpinBox*>(control)) {
          spin->setValue(b.typed);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
          check->click();
        } else {
          QVERIFY(qobject_cast<QComboBox*>(control) != nullptr);
          qobject_cast<QComboBox*>(control)->setCurrentIndex(b.typed);
        }
        ChannelView expected = shown_view();
        b.changes(expected);
        QVERIFY2(editor.view() == expected, b.page_caption);
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
