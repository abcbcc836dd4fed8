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
  // One user edit changes its field of the view, and only that one.
  void eachControlSitsUnderItsCaptionAndEditsItsField() {
    using E = ChannelRecordEditor;
    struct Binding {
      const char* page_caption;
      const char* coin_caption;
      std::function<void(E&)> edit;
      std::function<void(ChannelView&)> changes;
    };
    const Binding bindings[] = {
        {"1.", "1.", [](E& e) { e.parameters[0]->setValue(99); },
         [](ChannelView& v) { v.parameters[0] = 99; }},
        {"13.", "13.", [](E& e) { e.parameters[12]->setValue(98); },
         [](ChannelView& v) { v.parameters[12] = 98; }},
        {"1.", "1.", [](E& e) { e.tolerances[0]->setValue(97); },
         [](ChannelView& v) { v.tolerances[0] = 97; }},
        {"13.", "13.", [](E& e) { e.tolerances[12]->setValue(96); },
         [](ChannelView& v) { v.tolerances[12] = 96; }},
        {"ccTalk  Sel.", "ccTalk", [](E& e) { e.cctalk_box->click(); },
         [](ChannelView& v) { v.cctalk = true; }},
        {"ccTalk  Sel.", "Sel.", [](E& e) { e.sel_box->click(); },
         [](ChannelView& v) { v.selective = false; }},
        {"Fake    en.", "Fake", [](E& e) { e.fake_box->click(); },
         [](ChannelView& v) { v.fake = true; }},
        {"Fake    en.", "En.", [](E& e) { e.enabled_box->click(); },
         [](ChannelView& v) { v.enabled = false; }},
        {"Dir.", "Dir.", [](E& e) { e.direction_box->setCurrentIndex(4); },
         [](ChannelView& v) { v.direction = 4; }},
        {"CVF", "CVF", [](E& e) { e.cvf_box->setCurrentIndex(7); },
         [](ChannelView& v) { v.cvf = 7; }},
        {"Mint", "Mint", [](E& e) { e.mint_box->setCurrentIndex(2); },
         [](ChannelView& v) { v.mint = 2; }},
        {"CC", "CC", [](E& e) { e.country_box->setCurrentIndex(180); },
         [](ChannelView& v) { v.country = 180; }},
        {"Val.", "Val.", [](E& e) { e.value_box->setValue(200); },
         [](ChannelView& v) { v.value = 200; }},
    };
    for (const bool coin : {false, true}) {
      ChannelRecordEditor editor(coin ? kCoinProgrammingStyle : kChannelsPageStyle);
      const std::vector<QWidget*> controls = {
          editor.parameters[0], editor.parameters[12], editor.tolerances[0],
          editor.tolerances[12], editor.cctalk_box,    editor.sel_box,
          editor.fake_box,      editor.enabled_box,    editor.direction_box,
          editor.cvf_box,       editor.mint_box,       editor.country_box,
          editor.value_box};
      QCOMPARE(controls.size(), std::size(bindings));
      for (std::size_t i = 0; i < controls.size(); ++i) {
        const Binding& b = bindings[i];
        QVERIFY(controls[i] != nullptr);
        QCOMPARE(caption_of(controls[i]), QString(coin ? b.coin_caption : b.page_caption));
        editor.show_view(shown_view());
        QSignalSpy edited(&editor, &ChannelRecordEditor::edited);
        QCOMPARE(editor.view(), shown_view());  // drawn as it is, without an edit
        QCOMPARE(edited.count(), 0);
        b.edit(editor);
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
      const ChannelRecordStyle& style = coin ? kCoinProgrammingStyle : kChannelsPageStyle;
      ChannelRecordEditor editor(style);
      editor.show_view(erased);
      QCOMPARE(editor.view(), erased);
      const auto cvf = cvf_list(style.cvf_list);
      QCOMPARE(editor.cvf_box->count(), static_cast<int>(cvf.size()));
      for (int i = 0; i < editor.cvf_box->count(); ++i)
        QCOMPARE(editor.cvf_box->itemText(i), QString::fromUtf8(cvf[i].data(), cvf[i].size()));

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
