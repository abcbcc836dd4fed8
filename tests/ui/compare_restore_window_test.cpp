// "Compare with device", the section dialog's "Show what changes" and
// "Restore..." from the main window's tool bar, over the simulated coin
// selector in virtual time.
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>

#include "support/gui_test_main.h"
#include "support/saved_items.h"
#include "channels/channel_record.h"
#include "config/parameter_tree.h"
#include "ui/section_tree_dialog.h"
#include "window_bench.h"

namespace qv82::test {

namespace {

// Uploads everything and saves it; the file's path.
std::string saved_configuration(WindowBench& bench) {
  bench.window.upload_action->trigger();
  const std::string path = bench.dir.filePath("device.xml").toStdString();
  bench.ui.save_files = {path};
  bench.window.save_file_action->trigger();
  return path;
}

}  // namespace

class CompareRestoreWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The file's changed channel and I/O record are listed, before the download (from
  // its section dialog too) and not after it; the backup the download made
  // is offered, and restored only after Yes.
  void compareListsTheChangedChannelUntilItIsDownloadedAndRestoreUndoesIt() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    const std::string file = saved_configuration(bench);
    raise_channel_3_value(file);
    set_saved_item(file, "0x0788", "0304000000000A00");
    const sim::Memory::Image original = bench.setup.device().memory().nv();

    bench.ui.clear();
    bench.ui.open_files = {file};
    bench.window.compare_action->trigger();
    QCOMPARE(bench.ui.informations().size(), std::size_t{1});
    const std::string listed = bench.ui.informations()[0];
    QVERIFY2(listed.starts_with("Compare with device\nChannel 3 (0x05B0): ") &&
                 listed.find("; Val. ") != std::string::npos &&
                 // An I/O record is named by its own row and functions.
                 listed.ends_with("\nOutput4 (0x0788): FFFFFFFFFFFFFFFF -> 0304000000000A00; "
                                  "Output 4 Not used -> Timed vend\n2 differences"),
             listed.c_str());

    bench.ui.open_files = {file};
    bench.window.open_file_action->trigger();
    bench.ui.clear();
    bench.ui.on_sections = [&bench](ParameterTree& tree) {
      if (bench.ui.section_changes) bench.ui.section_changes(tree);
    };
    bench.window.download_action->trigger();
    bench.ui.on_sections = nullptr;
    const std::vector<std::string> shown = bench.ui.informations();
    QCOMPARE(shown.size(), std::size_t{2});
    QVERIFY2(shown[0].starts_with("Show what changes\nChannel 3 (0x05B0): "), shown[0].c_str());
    QCOMPARE(shown[1], std::string("Operation finished"));
    // The log page names the backup made before the writes.
    const auto logged = bench.log_lines();
    QVERIFY(std::any_of(logged.begin(), logged.end(), [](const std::string& line) {
      return line.starts_with("Backup: ") && line.find("/backups/1234567-") != std::string::npos;
    }));

    bench.ui.clear();
    bench.ui.open_files = {file};
    bench.window.compare_action->trigger();
    QCOMPARE(bench.ui.informations(),
             std::vector<std::string>{"Compare with device\nNo differences"});
    QVERIFY(bench.setup.device().memory().nv() != original);

    for (const Answer answer : {Answer::No, Answer::Yes}) {
      bench.ui.clear();
      bench.ui.offered_items.clear();
      bench.ui.chosen_items = {0};
      bench.ui.answers = {answer};
      bench.window.restore_action->trigger();
      QVERIFY(bench.ui.offered_items.size() == 1 && bench.ui.offered_items[0].size() == 1);
      QCOMPARE(bench.ui.questions().size(), std::size_t{1});
      QVERIFY(bench.ui.questions()[0].starts_with("Restore this backup into the coin selector? "));
      QCOMPARE(bench.setup.device().memory().nv() == original, answer == Answer::Yes);
    }
    QCOMPARE(bench.ui.informations().back(), std::string("Operation finished"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  // The dialog's button is there only with a hook, and hands it the tree as marked.
  void sectionDialogShowsWhatChangesOnlyWhenOffered() {
    SectionTreeDialog dialog;
    ParameterTree tree;
    tree.load_string(
        "<MachineData><Data caption=\"A\" address=\"0x07F0\" length=\"1\">05</Data>"
        "</MachineData>");
    int calls = 0;
    for (const bool offered : {true, false}) {
      dialog.show_changes = nullptr;
      if (offered) dialog.show_changes = [&calls](const ParameterTree& shown) {
        calls += shown.node_count() > 1;
      };
      bool visible = !offered;
      QTimer::singleShot(0, &dialog, [&] {
        visible = dialog.changes_button->isVisible();
        if (visible) dialog.changes_button->click();
        dialog.cancel_button->click();
      });
      QVERIFY(!dialog.execute("Download to coin selector", tree));
      QCOMPARE(visible, offered);
    }
    QCOMPARE(calls, 1);
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::CompareRestoreWindowTest)
#include "compare_restore_window_test.moc"
