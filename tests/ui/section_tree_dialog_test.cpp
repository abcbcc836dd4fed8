// The parameter tree dialog drawn from its model.
#include "support/gui_test_main.h"
#include "ui/section_tree_dialog.h"

#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "config/parameter_tree.h"

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

}  // namespace

class SectionTreeDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Ticks come from the model and clicks go to it; OK keeps what is ticked, Cancel everything.
  // "Show what changes" is there only with a hook, and hands it the tree as marked.
  void marksComeFromTheModelAndClicksGoToIt() {
    ParameterTree tree;
    tree.load_string(kDocument);
    SectionTreeDialog dialog;
    int changes_shown = 0;
    dialog.show_changes = [&](const ParameterTree& shown) {
      changes_shown += shown.state(2) == CheckState::kUnchecked;
    };
    // A failed check leaves the dialog to the Cancel after it.
    const auto look = [&] {
      // Collapsed to the root and the top groups.
      QVERIFY(dialog.item_of(0)->isExpanded() && !dialog.item_of(1)->isExpanded());
      QCOMPARE(dialog.item_of(2)->checkState(0), Qt::Checked);
      // Channel 2 has no data: greyed, not for ticking.
      QVERIFY(!(dialog.item_of(3)->flags() & Qt::ItemIsUserCheckable));
      // The user unticks "Channels": its items follow.
      dialog.item_of(1)->setCheckState(0, Qt::Unchecked);
      QCOMPARE(tree.state(2), CheckState::kUnchecked);
      QCOMPARE(dialog.item_of(2)->checkState(0), Qt::Unchecked);
      QCOMPARE(tree.state(3), CheckState::kUnavailable);
      dialog.item_of(1)->setExpanded(true);
      QVERIFY(dialog.changes_button->isVisible());
      dialog.changes_button->click();
      dialog.ok_button->click();
    };
    QTimer::singleShot(0, &dialog, [&] {
      look();
      if (dialog.isVisible()) dialog.cancel_button->click();
    });
    QVERIFY(dialog.execute("Select sections for saving", tree));
    QCOMPARE(changes_shown, 1);
    // OK: the unticked channel lost its data; the statistics kept theirs.
    QVERIFY(tree.text(2).empty());
    QCOMPARE(tree.state(2), CheckState::kUnavailable);
    QCOMPARE(tree.text(6), std::string("05"));

    // Shown again: collapsed again; Cancel keeps everything.
    dialog.show_changes = nullptr;
    bool collapsed = false;
    QTimer::singleShot(0, &dialog, [&] {
      collapsed = !dialog.item_of(1)->isExpanded() && !dialog.changes_button->isVisible();
      dialog.item_of(4)->setCheckState(0, Qt::Unchecked);
      dialog.cancel_button->click();
    });
    QVERIFY(!dialog.execute("Download to coin selector", tree));
    QVERIFY(collapsed);
    QCOMPARE(tree.text(6), std::string("05"));
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::SectionTreeDialogTest)
#include "section_tree_dialog_test.moc"
