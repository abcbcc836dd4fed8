#include "support/gui_test_main.h"
#include "ui/comm_log_page.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include "link/log_decoder.h"
#include "ui/comm_log_model.h"
#include "window_bench.h"

namespace qv82::test {

class CommLogPageTest : public QObject {
  Q_OBJECT

 private slots:
  void listKeeps2001LinesAndShowsTheNewest() {
    WindowBench bench;
    CommLogPage& page = *bench.window.comm_log_page;
    for (int i = 0; i < 2100; ++i) {
      bench.app.link.add_log_line((i % 2 ? "<- " : "-> ") + std::to_string(i));
    }
    QCOMPARE(page.model->rowCount(), 2001);
    QCOMPARE(page.model->index(0).data().toString(), QString("<- 99"));
    QCOMPARE(page.log_view->currentIndex().row(), 2000);
    QCOMPARE(page.model->index(2000).data().toString(), QString("<- 2099"));
  }

  // Typed, sent with Return or the button, bytes apart as they read in a
  // manual: the command goes and the log shows it and the reply. A single
  // character is no command; text that is not hex is refused and left in
  // the field for correcting.
  void terminalSendsWhatIsTyped() {
    struct Case {
      const char* typed;
      bool by_return;
      std::vector<std::string> logged;
      const char* left_in_field;  // refused, with an error, when not empty
    };
    const Case cases[] = {
        {"fe", true, {"-> 020001FEFF", "<- 01000200FD"}, ""},
        {" ff 08 ", false, {"-> 020101FF08F5"}, ""},
        {"F", false, {}, ""},
        {"ZZ", false, {}, "ZZ"},
        {"FEZZ", true, {}, "FEZZ"},
    };
    for (const Case& c : cases) {
      WindowBench bench;
      CommLogPage& page = *bench.window.comm_log_page;
      const std::size_t written = bench.setup.line().written().size();
      QTest::keyClicks(page.command_edit, c.typed);
      if (c.by_return) QTest::keyClick(page.command_edit, Qt::Key_Return);
      else page.send_command_button->click();
      const std::vector<std::string> lines = bench.log_lines();
      QVERIFY2(lines.size() >= c.logged.size() &&
                   std::equal(c.logged.begin(), c.logged.end(), lines.begin()),
               c.typed);
      QCOMPARE(lines.empty() && bench.setup.line().written().size() == written, c.logged.empty());
      QCOMPARE(!bench.ui.errors().empty(), *c.left_in_field != '\0');
      QCOMPARE(page.command_edit->text(), QString(c.left_in_field));
    }
  }

  void clearLogAsksFirst() {
    for (const Answer answer : {Answer::Cancel, Answer::Ok}) {
      WindowBench bench;
      bench.app.link.add_log_line("-> 020001FEFF");
      bench.ui.answers = {answer};
      bench.window.comm_log_page->clear_log_button->click();
      QCOMPARE(bench.ui.questions(), std::vector<std::string>{"Press OK to clear log"});
      QCOMPARE(bench.window.comm_log_page->model->rowCount(), answer == Answer::Ok ? 0 : 1);
    }
  }

  void saveAndLogToFileWriteIntoTheChosenFiles() {
    WindowBench bench;
    CommLogPage& page = *bench.window.comm_log_page;
    page.log_to_file_box->click();
    QVERIFY(bench.window.log.logging_to_file());
    bench.app.link.add_log_line("-> 020001FEFF");

    bench.ui.save_files = {bench.dir.filePath("trace.log").toStdString()};
    page.save_log_button->click();
    QFile saved(bench.dir.filePath("trace.txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("-> 020001FEFF\n"));

    // Closing the window ends the copy into log.txt.
    bench.ui.answers = {Answer::Yes};
    bench.window.exit_action->trigger();
    QVERIFY(!bench.window.log.logging_to_file());
    QVERIFY(!page.log_to_file_box->isChecked());
    QFile log_file(bench.dir.filePath("log.txt"));
    QVERIFY(log_file.open(QIODevice::ReadOnly));
    QVERIFY(log_file.readAll().startsWith("-> 020001FEFF\n"));
    // The page names that file in full, wherever the working folder is.
    QCOMPARE(QFileInfo(page.log_file_label->text()).canonicalFilePath(),
             QFileInfo(log_file).canonicalFilePath());
  }

  // After an upload every row is explained; the column can be hidden, and the second save
  // choice writes the raw lines with their explanations.
  void uploadShowsExplanationsThatCanBeHiddenAndSaved() {
    WindowBench bench;
    CommLogPage& page = *bench.window.comm_log_page;
    bench.window.upload_action->trigger();
    const auto& lines = bench.window.log.lines();
    const std::string read_channel_1 = "-> 020401FF0205702063";
    const auto found = std::find(lines.begin(), lines.end(), read_channel_1);
    QVERIFY(found != lines.end());
    const int row = static_cast<int>(found - lines.begin());
    const auto explanation = [&](int r) {
      return page.model->index(r, CommLogModel::kExplanationColumn).data().toString();
    };
    QCOMPARE(explanation(row),
             QString("sent 1 to 2: vendor: read memory 0x0570, 32 bytes: channel 1"));
    for (int r = 0; r < page.model->rowCount(); ++r) {
      QVERIFY2(!explanation(r).contains("unknown"), qPrintable(explanation(r)));
    }
    page.explanations_box->click();
    QVERIFY(page.log_view->isColumnHidden(CommLogModel::kExplanationColumn));

    bench.ui.save_files = {bench.dir.filePath("explained.txt").toStdString()};
    page.save_explained_button->click();
    QFile explained(bench.dir.filePath("explained.txt"));
    QVERIFY(explained.open(QIODevice::ReadOnly));
    const QList<QByteArray> explained_lines = explained.readAll().split('\n');
    QCOMPARE(explained_lines.size(), static_cast<qsizetype>(lines.size() + 1));
    QCOMPARE(explained_lines[row].toStdString(),
             explained_line(read_channel_1, explanation(row).toStdString()));
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::CommLogPageTest)
#include "comm_log_page_test.moc"
