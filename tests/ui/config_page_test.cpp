#include "support/gui_test_main.h"
#include "ui/config_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>
#include <filesystem>

#include "support/fake_ui.h"
#include "support/processes.h"
#include "ui/config_page_widgets.h"

namespace qv82::test {

// The page over the rules, the installed lists and a scripted person.
struct PageBench {
  PageBench() : dir(make_temp_dir()) {
    for (const char* name : {"io.ini", "qv82hs.ini"}) {
      std::filesystem::copy_file(std::string(QV82_SOURCE_DIR) + "/data/" + name, dir + "/" + name);
    }
    rules.activate(dir);
    page = std::make_unique<ConfigPage>(rules);
    page->resize(1016, 640);
    page->show();
  }

  // A user's pick in a list.
  static void pick(QComboBox* list, const QString& text) {
    const int index = list->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

  ConfigPage::RowWidgets& row(int position) { return page->rows[position - 1]; }
  bool shown(QWidget* widget) const { return widget->isVisibleTo(page.get()); }

  std::string dir;  // removed when the process ends
  WorkingImages images;
  ConfigPageModel model;
  FakeUi ui;
  ConfigurationRules rules{images, model, ui};
  std::unique_ptr<ConfigPage> page;
};

class ConfigPageTest : public QObject {
  Q_OBJECT

 private slots:
  void pickingAFunctionUpdatesTheRow() {
    PageBench bench;
    bench.page->edit->click();
    QVERIFY(bench.shown(bench.row(4).function));
    QVERIFY(!bench.shown(bench.row(4).time_on));

    PageBench::pick(bench.row(4).function, "Timed vend");
    QVERIFY(bench.ui.shown.empty());
    QCOMPARE(bench.row(4).note->text(), QString("Vend timer per coin"));
    QVERIFY(bench.shown(bench.row(4).time_on));
    QCOMPARE(bench.row(4).time_on->value(), 100);  // 10 steps of 10 s
    QCOMPARE(bench.row(4).time_on_unit->text(), QString("s"));
    QVERIFY(!bench.shown(bench.row(4).channels_low));
    QVERIFY(bench.shown(bench.page->heading_time_on));
    // The function shows the multiplier it forces.
    QVERIFY(bench.shown(bench.page->parameters[9].box));
    QCOMPARE(bench.page->parameters[9].box->value(), 10);
    QCOMPARE(bench.images.io_text[3].substr(0, 4), std::string("0304"));

    // An edit of the box reaches the record when the page is saved, up to
    // the most the record's byte carries.
    bench.row(4).time_on->setValue(2550);
    QCOMPARE(bench.row(4).time_on->value(), 2550);
    bench.rules.before_images_saved();
    QCOMPARE(bench.images.io_text[3].substr(12, 2), std::string("FF"));
  }

  void choosingAVersionRedrawsThePage() {
    PageBench bench;
    QCOMPARE(bench.page->versions->currentText(), QString("Vending standard"));
    QVERIFY(!bench.shown(bench.page->parameters[0].box));
    PageBench::pick(bench.page->versions, "Credit timer with sorter");
    QCOMPARE(bench.row(1).note->text(), QString("Time per credit"));
    QCOMPARE(bench.row(4).note->text(), QString("Sorter"));
    QVERIFY(bench.shown(bench.page->parameters[0].box));
    QCOMPARE(bench.page->dip_mode->currentText(), QString("Timer preset"));
  }

  // The level and direction buttons say in words what their pictures show,
  // and say it anew when clicked.
  void levelButtonsSayInWordsWhatTheyShow() {
    PageBench bench;
    PageBench::pick(bench.page->versions, "Timer with display");  // Start button "8101" at 8
    QCOMPARE(bench.row(8).level->toolTip(), QString("Input level: High, edge code 1"));
    QCOMPARE(bench.row(8).direction->toolTip(), QString("Direction: up"));
    const QString output = bench.row(1).level->toolTip();
    QVERIFY2(output == "Active level: Low" || output == "Active level: High", qPrintable(output));
    bench.row(1).level->click();
    QCOMPARE(bench.row(1).level->toolTip(),
             output.endsWith("Low") ? QString("Active level: High") : QString("Active level: Low"));
    bench.row(8).direction->click();
    QCOMPARE(bench.row(8).direction->toolTip(), QString("Direction: down"));
    QCOMPARE(bench.row(8).level->toolTip(), QString("Input level: High, edge code 2"));
  }

  // Whatever the page shows, its groups and columns keep their places: a
  // display type or standard configuration chosen, the Edit box ticked.
  void groupsAndColumnsKeepTheirPlaces() {
    PageBench bench;
    ConfigPage& page = *bench.page;
    const auto places = [&] {
      QApplication::processEvents();
      std::vector<int> at;
      for (QWidget* widget : std::initializer_list<QWidget*>{
               page.common_group, page.display_group, page.dip_group, page.stop_group,
               page.autoprog_group, page.fraud_group, page.display_type, page.display_show,
               bench.row(1).time_on, bench.row(1).time_off, bench.row(1).level,
               bench.row(1).channels_low, bench.row(8).impulses}) {
        at.push_back(widget->mapTo(&page, QPoint(0, 0)).x());
        at.push_back(widget->width());
      }
      return at;
    };
    const std::vector<int> first = places();
    for (QComboBox* list : std::initializer_list<QComboBox*>{page.display_type, page.versions}) {
      for (int i = 0; i < list->count(); ++i) {
        PageBench::pick(list, list->itemText(i));
        QVERIFY2(places() == first, qPrintable("moved after " + list->itemText(i)));
      }
    }
    page.edit->click();
    QVERIFY2(places() == first, "moved after Edit");
  }

  void fitsTheRecommendedScreen() {
    PageBench bench;
    const QSize needed = bench.page->minimumSizeHint();
    // The notebook page of a 1024 x 768 main window, less tool bar and device panel.
    QVERIFY2(needed.width() <= 1010 && needed.height() <= 620,
             qPrintable(QString("%1 x %2").arg(needed.width()).arg(needed.height())));
  }

};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::ConfigPageTest)
#include "config_page_test.moc"
