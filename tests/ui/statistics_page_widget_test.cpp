// The statistics page of the main window over the simulated coin selector: its buttons read,
// write and export what the device counts.
#include "support/gui_test_main.h"
#include "ui/statistics_page_widget.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "files/ini_file.h"
#include "support/biff_reader.h"
#include "ui/statistics_chart.h"
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

// The bars the device's own options and counters call for: one per option other than FF,
// named as the installation names its code, as long as the counter.
std::vector<std::pair<QString, qreal>> device_bars(WindowBench& bench) {
  const IniFile settings(bench.dir.filePath("qv82hs.ini").toStdString());
  const auto names = settings.section_entries("Statistic options");
  std::vector<std::pair<QString, qreal>> bars;
  const auto& image = bench.setup.device().memory().nv();
  for (std::size_t i = 0; i < 20; ++i) {
    const std::uint8_t code = image[kOptionsAddress + i];
    if (code == 0xFF) continue;
    QString name;
    for (const auto& [key, value] : names) {
      if (value == bytes_to_hex(Bytes{code})) name = QString::fromStdString(key);
    }
    const std::size_t at = kCountersAddress + 3 * i;
    bars.emplace_back(name, image[at] << 16 | image[at + 1] << 8 | image[at + 2]);
  }
  return bars;
}

std::string described(const std::vector<std::pair<QString, qreal>>& bars) {
  std::string text;
  for (const auto& [name, value] : bars)
    text += name.toStdString() + "=" + std::to_string(value) + " ";
  return text;
}

}  // namespace

class StatisticsPageWidgetTest : public QObject {
  Q_OBJECT

 private slots:
  void badOptionCodeIsNamedAndTheNextWriteStillErasesChangedCounters() {
    WindowBench bench;
    add_statistic_options(bench, "Bad entry=123\n");
    QVERIFY(bench.window.start_up_once());
    bench.setup.device().memory().poke(kOptionsAddress, Bytes(20, 0xFF));
    bench.setup.device().memory().poke(kCountersAddress, Bytes(60, 0x05));
    StatisticsPageWidget& page = *bench.window.statistics_page;
    page.read_button->click();  // "Read"
    QCOMPARE(page.values[4]->text(), QString("328965"));
    QCOMPARE(page.settings[4]->currentText(), QString("Not used"));

    bench.ui.clear();
    choose(page.settings[4], "Coin jams");
    choose(page.settings[6], "Bad entry");
    page.write_button->click();  // "Write"
    QCOMPARE(bench.ui.errors().size(), std::size_t{1});
    const std::string error = bench.ui.errors()[0];
    QVERIFY2(error.find("Row 7") != std::string::npos, error.c_str());
    QVERIFY2(error.find("Bad entry=123") != std::string::npos, error.c_str());
    QCOMPARE(nv(bench, kOptionsAddress, 20), Bytes(20, 0xFF));
    QCOMPARE(nv(bench, kCountersAddress, 60), Bytes(60, 0x05));
    QVERIFY(bench.setup.device().memory().ram()[kOptionsAddress + 4] == 0xFF);

    // Row 7 put right: the Write now erases counter 5, whose option changed, and no other.
    bench.ui.clear();
    choose(page.settings[6], "Not used");
    page.write_button->click();
    QVERIFY(bench.ui.errors().empty());
    QCOMPARE(bench.ui.informations(), std::vector<std::string>{"Operation finished"});
    QCOMPARE(nv(bench, kOptionsAddress + 4, 1), Bytes{0x06});
    QCOMPARE(nv(bench, kCountersAddress + 12, 3), Bytes(3, 0x00));
    QCOMPARE(nv(bench, kCountersAddress + 18, 3), Bytes(3, 0x05));
    QCOMPARE(page.values[4]->text(), QString("0"));
    QCOMPARE(page.settings[4]->currentText(), QString("Coin jams"));

    // "Erase all" after OK clears every counter.
    bench.ui.answers = {Answer::Ok};
    page.erase_all_button->click();
    QCOMPARE(nv(bench, kCountersAddress, 60), Bytes(60, 0x00));
    QCOMPARE(page.values[19]->text(), QString("0"));
  }

  void chartBarsAreTheCountersReadFromTheDevice() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    StatisticsPageWidget& page = *bench.window.statistics_page;
    QVERIFY(page.chart->drawn_bars().empty());  // nothing read yet

    page.read_button->click();  // "Read"
    const auto expected = device_bars(bench);
    QVERIFY(!expected.empty());
    QVERIFY2(page.chart->drawn_bars() == expected, described(page.chart->drawn_bars()).c_str());
    // Whole counts under the bars, each tick its own, the longest bar within them.
    const QStringList ticks = page.chart->axis_labels();
    QVERIFY2(ticks.size() >= 3 && ticks.size() <= 6, qPrintable(ticks.join(' ')));
    for (int i = 1; i < ticks.size(); ++i) {
      QVERIFY2(ticks[i].toLongLong() > ticks[i - 1].toLongLong(), qPrintable(ticks.join(' ')));
    }
    for (const auto& bar : expected) QVERIFY(ticks.back().toDouble() >= bar.second);

    // Write with a new option in row 16 adds its bar; "Erase all" draws every bar at zero.
    choose(page.settings[15], "Credits paid");
    page.write_button->click();
    QVERIFY2(page.chart->drawn_bars() == device_bars(bench),
             described(page.chart->drawn_bars()).c_str());
    QCOMPARE(page.chart->drawn_bars().size(), expected.size() + 1);
    bench.ui.answers = {Answer::Ok};
    page.erase_all_button->click();
    const auto erased = page.chart->drawn_bars();
    QCOMPARE(erased.size(), expected.size() + 1);
    for (const auto& [name, value] : erased) QCOMPARE(value, 0.0);
    QCOMPARE(page.chart->axis_labels().join(' '), QString("0 1 2 3 4 5"));
  }

  void exportWritesLabelsInTheSheetsCodePage() {
    WindowBench bench;
    add_statistic_options(bench,
                          "M\u00FCnzen angenommen=21\n\u20AC Umsatz=22\n\u017Detoni \u20AA=23\n");
    QVERIFY(bench.window.start_up_once());
    bench.setup.device().memory().poke(kOptionsAddress, {0x21, 0x22, 0x23});
    bench.setup.device().memory().poke(kCountersAddress, {0x00, 0x01, 0x02});
    StatisticsPageWidget& page = *bench.window.statistics_page;
    page.read_button->click();
    QCOMPARE(page.settings[0]->currentText(), QString::fromUtf8("M\u00FCnzen angenommen"));

    const std::string chosen = bench.dir.filePath("sheet").toStdString();
    bench.ui.save_files = {chosen};
    page.export_button->click();  // "Export to XLS"
    QVERIFY(bench.ui.errors().empty());
    const auto cells = biff_cell_texts(chosen + ".xls");
    const std::pair<const char*, const char*> expected[] = {
        {"B1", "QV82"},
        {"B8", "M\u00FCnzen angenommen"},
        {"B9", "\u20AC Umsatz"},
        {"B10", "\u017Detoni ?"},  // the shekel sign is not in the code page
        {"C8", "258"},
    };
    for (const auto& [name, text] : expected) {
      QVERIFY2(cells.count(name), name);
      QCOMPARE(QString::fromStdString(cells.at(name)), QString::fromUtf8(text));
    }
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::StatisticsPageWidgetTest)
#include "statistics_page_widget_test.moc"
