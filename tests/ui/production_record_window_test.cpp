// The factory test window keeps a record of every unit it tests: the counts
// since it opened, the last units of the record and the record's file.
#include <QCategoryAxis>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "support/gui_test_main.h"
#include "files/ini_file.h"
#include "ui/analogue_gauge_view.h"
#include "ui/production_test_window.h"
#include "support/test_files.h"
#include "window_bench.h"

namespace qv82::test {

class ProductionRecordWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Opened again, the window starts afresh: counts, units, messages and gauges. A record
  // that cannot be written stops Start before the device.
  void eachStartAddsAUnitAndAnUnwritableRecordStopsStart() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    copy_data_files(bench.workdir, {"Production.ini"});
    ProductionTestWindow& ft = *bench.window.production_test_window;
    ft.show();
    QCOMPARE(ft.record_path->text().toStdString(), bench.workdir + "/production_log.csv");
    QTest::mouseClick(ft.start_button, Qt::LeftButton);
    QCOMPARE(bench.ui.errors(), std::vector<std::string>{});
    // A unit outside the limits is counted as failed, with its step.
    bench.setup.device().config().analogue.temperature = 99;
    QTest::mouseClick(ft.start_button, Qt::LeftButton);
    QCOMPARE(ft.unit_counts->text(), QString("Passed: 1   Failed: 1"));
    QCOMPARE(ft.recent_units->count(), 2);
    QVERIFY(ft.recent_units->item(0)->text().endsWith("  1234567  PASS"));
    QVERIFY(ft.recent_units->item(1)->text().endsWith(
        "  1234567  FAIL  Analogue test: Temp error, value = 63"));

    ft.hide();
    ft.show();
    QCOMPARE(ft.unit_counts->text(), QString("Passed: 0   Failed: 0"));
    QCOMPARE(ft.recent_units->count() + ft.messages_list->count(), 0);
    QCOMPARE(ft.gauges->row_axis->categoriesLabels().filter("(").size(), 0);

    const std::string folder = bench.workdir + "/records";
    std::filesystem::create_directory(folder);
    ft.choose_record_file = [&folder](const std::string&) { return folder; };
    QTest::mouseClick(ft.change_record, Qt::LeftButton);
    QCOMPARE(ft.record_path->text().toStdString(), folder);
    QCOMPARE(IniFile(bench.workdir + "/qv82hs.ini").read_string("SETTINGS", "ProductionRecord", ""),
             folder);
    bench.ui.clear();
    const std::size_t sent = bench.log_lines().size();
    QTest::mouseClick(ft.start_button, Qt::LeftButton);
    QCOMPARE(bench.ui.errors(), std::vector<std::string>{"Cannot write the production record " +
                                                         folder + ": it is a folder"});
    QCOMPARE(bench.log_lines().size(), sent);
    QCOMPARE(ft.unit_counts->text(), QString("Passed: 0   Failed: 0"));
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::ProductionRecordWindowTest)
#include "production_record_window_test.moc"
