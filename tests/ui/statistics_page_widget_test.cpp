// The statistics page of the main window over the simulated coin selector: each row's controls
// are that row's option and counter on the device.
#include "support/gui_test_main.h"
#include "ui/statistics_page_widget.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "window_bench.h"

namespace qv82::test {

namespace {

constexpr std::uint16_t kOptionsAddress = 0x081A;
constexpr std::uint16_t kCountersAddress = 0x0830;

// The installation's settings with more statistic options (their section ends the file).
void add_statistic_options(WindowBench& bench, const std::string& lines) {
  std::ofstream(bench.dir.filePath("qv82hs.ini").toStdString(), std::ios::app) << "\n" << lines;
}

Bytes nv(WindowBench& bench, std::uint16_t address, std::size_t length) {
  const auto& image = bench.setup.device().memory().nv();
  return Bytes(image.begin() + address, image.begin() + address + length);
}

void choose(QComboBox* row, const char* name) {
  const int index = row->findText(QString::fromUtf8(name));
  QVERIFY2(index >= 0, name);
  row->setCurrentIndex(index);
}

}  // namespace

class StatisticsPageWidgetTest : public QObject {
  Q_OBJECT

 private slots:
  // Read fills row i with option and counter i; an option picked in a row goes to that row on
  // Write, which erases that row's counter alone. A code the settings cannot give is named
  // with its row, and nothing is written.
  void rowsAreTheDevicesOptionsAndCounters() {
    WindowBench bench;
    add_statistic_options(bench, "Bad entry=123\n");
    QVERIFY(bench.window.start_up_once());
    Bytes options(20, 0xFF);
    options[0] = 0x01;
    options[9] = 0x02;
    options[10] = 0x04;
    options[19] = 0x06;
    Bytes counters(60, 0x00);
    for (std::size_t i = 0; i < 20; ++i) counters[3 * i + 2] = static_cast<std::uint8_t>(i + 1);
    bench.setup.device().memory().poke(kOptionsAddress, options);
    bench.setup.device().memory().poke(kCountersAddress, counters);
    StatisticsPageWidget& page = *bench.window.statistics_page;
    page.read_button->click();
    const std::pair<int, const char*> shown[] = {
        {0, "Coins accepted"}, {4, "Not used"}, {9, "Coins rejected"},
        {10, "Credits paid"},  {19, "Coin jams"},
    };
    for (const auto& [row, option] : shown) QCOMPARE(page.settings[row]->currentText(), QString(option));
    for (int i = 0; i < 20; ++i) QCOMPARE(page.values[i]->text(), QString::number(i + 1));

    bench.ui.clear();
    choose(page.settings[6], "Bad entry");
    page.write_button->click();
    QCOMPARE(bench.ui.errors().size(), std::size_t{1});
    const std::string error = bench.ui.errors()[0];
    QVERIFY2(error.find("Row 7") != std::string::npos, error.c_str());
    QVERIFY2(error.find("Bad entry=123") != std::string::npos, error.c_str());
    QCOMPARE(nv(bench, kOptionsAddress, 20), options);

    bench.ui.clear();
    choose(page.settings[6], "Not used");
    choose(page.settings[4], "Coin jams");
    page.write_button->click();
    QCOMPARE(bench.ui.informations(), std::vector<std::string>{"Operation finished"});
    options[4] = 0x06;
    QCOMPARE(nv(bench, kOptionsAddress, 20), options);
    counters[3 * 4 + 2] = 0;
    QCOMPARE(nv(bench, kCountersAddress, 60), counters);
    QCOMPARE(page.values[4]->text(), QString("0"));
    QCOMPARE(page.settings[4]->currentText(), QString("Coin jams"));
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::StatisticsPageWidgetTest)
#include "statistics_page_widget_test.moc"
