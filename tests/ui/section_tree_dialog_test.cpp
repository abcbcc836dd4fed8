// The parameter tree dialog and the "Channels" page drawn from their models.
#include "support/gui_test_main.h"
#include "ui/section_tree_dialog.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "channels/channels_page.h"
#include "config/parameter_tree.h"
#include "config/working_images.h"
#include "ui/channels_page_widget.h"

namespace qv82::test {

namespace {

const char* const kDocument =
    "<MachineData>"
    "<Group caption=\"Channels\">"
    "<Data caption=\"0x0570\" address=\"0x0570\" length=\"1\">01</Data>"
    "<Data caption=\"Channel 2\" address=\"0x0590\" length=\"1\"></Data>"
    "</Group>"
    "<Group caption=\"Statistics\">"
    "<Group caption=\"Statistic options\">"
    "<Data caption=\"Option 1\" address=\"0x081A\" length=\"1\">05</Data>"
    "</Group></Group>"
    "</MachineData>";

// Runs the dialog with `look` called while it is shown; look ends it.
bool run(SectionTreeDialog& dialog, ParameterTree& tree, const QString& caption,
         const std::function<void()>& look) {
  QTimer::singleShot(0, &dialog, look);
  return dialog.execute(caption, tree);
}

}  // namespace

class SectionTreeDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void marksComeFromTheModelAndClicksGoToIt() {
    ParameterTree tree;
    tree.load_string(kDocument);
    SectionTreeDialog dialog;
    const bool ok = run(dialog, tree, "Select sections for saving", [&] {
      QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
      // Collapsed to the root and the top groups.
      QVERIFY(dialog.item_of(0)->isExpanded());
      QVERIFY(!dialog.item_of(1)->isExpanded());
      QCOMPARE(dialog.item_of(2)->checkState(0), Qt::Checked);
      // Channel 2 has no data: greyed, not for ticking.
      QVERIFY(!(dialog.item_of(3)->flags() & Qt::ItemIsUserCheckable));
      // The user unticks "Channels": its items follow.
      dialog.item_of(1)->setCheckState(0, Qt::Unchecked);
      QCOMPARE(tree.state(1), CheckState::kUnchecked);
      QCOMPARE(tree.state(2), CheckState::kUnchecked);
      QCOMPARE(dialog.item_of(2)->checkState(0), Qt::Unchecked);
      QCOMPARE(tree.state(3), CheckState::kUnavailable);
      dialog.item_of(1)->setExpanded(true);
      dialog.ok_button->click();
    });
    QVERIFY(ok);
    // OK: the unticked channel lost its data; the statistics kept theirs.
    QVERIFY(tree.text(2).empty());
    QCOMPARE(tree.state(2), CheckState::kUnavailable);
    QCOMPARE(tree.text(6), std::string("05"));

    // Shown again: collapsed again; Cancel keeps everything.
    const bool again = run(dialog, tree, "Download to coin selector", [&] {
      QVERIFY(!dialog.item_of(1)->isExpanded());
      dialog.item_of(4)->setCheckState(0, Qt::Unchecked);
      dialog.cancel_button->click();
    });
    QVERIFY(!again);
    QCOMPARE(tree.text(6), std::string("05"));
  }

  void channelsPageTakesEditsIntoTheBuffer() {
    ChannelBuffer buffer;
    ChannelsPage model(buffer);
    WorkingImages images;
    ChannelsPageWidget page(model, images);
    QCOMPARE(page.record->parameters[0]->value(), 255);

    page.record->parameters[0]->setValue(42);
    QVERIFY(model.channel_modified);
    page.channel_number_box->setValue(5);
    QCOMPARE(int{buffer[0][0]}, 42);
    QCOMPARE(images.loaded_sections, std::uint8_t{kSectionChannels});
    QCOMPARE(page.record->parameters[0]->value(), 255);
    page.channel_number_box->setValue(1);
    QCOMPARE(page.record->parameters[0]->value(), 42);

    buffer[0] = Bytes(32, 0x10);
    model.show_channel(1);
    page.refresh();
    QCOMPARE(page.record->tolerances[12]->value(), 16);
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::SectionTreeDialogTest)
#include "section_tree_dialog_test.moc"
