// "Compare with device", "Show what changes" and "Restore..." from the tool bar, in virtual time.
#include <QAction>
#include <QtTest>

#include "support/gui_test_main.h"
#include "support/saved_items.h"
#include "config/parameter_tree.h"
#include "window_bench.h"

namespace qv82::test {

class CompareRestoreWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The file's changed channel and I/O record are listed, before the download (from its section
  // dialog too) and not after it; the backup the download made is restored only after Yes.
  void compareListsTheChangedChannelUntilItIsDownloadedAndRestoreUndoesIt() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    bench.window.upload_action->trigger();
    const std::string file = bench.dir.filePath("device.xml").toStdString();
    bench.ui.save_files = {file};
    bench.window.save_file_action->trigger();
    raise_channel_3_value(file);
    set_saved_item(file, "0x0788", "0304000000000A00");
    const sim::Memory::Image original = bench.setup.device().memory().nv();
    const auto compare = [&bench, &file] {
      bench.ui.clear();
      bench.ui.open_files = {file};
      bench.window.compare_action->trigger();
      return bench.ui.informations();
    };

    const std::vector<std::string> listed = compare();
    QCOMPARE(listed.size(), std::size_t{1});
    QVERIFY2(listed[0].starts_with("Compare with device\nChannel 3 (0x05B0): ") &&
                 listed[0].find("; Val. ") != std::string::npos &&
                 // An I/O record is named by its own row and functions.
                 listed[0].ends_with("\nOutput4 (0x0788): FFFFFFFFFFFFFFFF -> 0304000000000A00; "
                                     "Output 4 Not used -> Timed vend\n2 differences"),
             listed[0].c_str());

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
    QCOMPARE(compare(), std::vector<std::string>{"Compare with device\nNo differences"});

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
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::CompareRestoreWindowTest)
#include "compare_restore_window_test.moc"
