#include "support/gui_test_main.h"
#include "ui/comm_log_page.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
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
  // The hex columns line up on any machine: the lines and the terminal ask for the platform's
  // fixed-pitch face, and for a monospaced substitute where that face is missing.
  void listKeeps2001LinesAndShowsTheNewestInAFixedPitch() {
    WindowBench bench;
    CommLogPage& page = *bench.window.comm_log_page;
    for (int i = 0; i < 2100; ++i) {
      bench.app.link.add_log_line((i % 2 ? "<- " : "-> ") + std::to_string(i));
    }
    QCOMPARE(page.model->rowCount(), 2001);
    QCOMPARE(page.log_view->currentIndex().row(), 2000);
    QCOMPARE(page.model->index(2000).data().toString(), QString("<- 2099"));
    const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    for (const QFont& font : {page.model->index(0).data(Qt::FontRole).value<QFont>(),
                              page.log_view->font(), page.command_edit->font()}) {
      QCOMPARE(font.family(), fixed);
      QCOMPARE(font.styleHint(), QFont::TypeWriter);
    }
  }

  // Typed, sent with Return or the button, bytes apart as in a manual: the command goes and
  // the log shows it and the reply. A single character is no command; text that is not hex is
  // refused and left in the field for correcting.
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

  void saveExplainClearAndLogToFile() {
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
    // Each line is explained in a column that can be hidden; the second save choice writes the
    // lines with their explanations.
    const QString explanation =
        page.model->index(0, CommLogModel::kExplanationColumn).data().toString();
    QCOMPARE(explanation, QString("sent 1 to 2: simple poll"));
    page.explanations_box->click();
    QVERIFY(page.log_view->isColumnHidden(CommLogModel::kExplanationColumn));
    bench.ui.save_files = {bench.dir.filePath("explained.txt").toStdString()};
    page.save_explained_button->click();
    QFile explained(bench.dir.filePath("explained.txt"));
    QVERIFY(explained.open(QIODevice::ReadOnly));
    QCOMPARE(explained.readAll().toStdString(),
             explained_line("-> 020001FEFF", explanation.toStdString()) + "\n");
    // Clear asks first.
    for (const Answer answer : {Answer::Cancel, Answer::Ok}) {
      bench.ui.answers = {answer};
      page.clear_log_button->click();
      QCOMPARE(page.model->rowCount(), answer == Answer::Ok ? 0 : 1);
    }

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
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::CommLogPageTest)
#include "comm_log_page_test.moc"
