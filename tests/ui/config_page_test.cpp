#include "support/gui_test_main.h"
#include "ui/config_page.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <limits>

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
  ~PageBench() {
    page.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
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

  std::string dir;
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
    QCOMPARE(bench.row(4).time_on->singleStep(), 10);
    QCOMPARE(bench.row(4).time_on_unit->text(), QString("s"));
    QVERIFY(!bench.shown(bench.row(4).channels_low));
    QVERIFY(bench.shown(bench.page->heading_time_on));
    // The function shows the multiplier it forces.
    QVERIFY(bench.shown(bench.page->parameters[9].box));
    QCOMPARE(bench.page->parameters[9].box->value(), 10);
    QCOMPARE(bench.images.io_text[3].substr(0, 4), std::string("0304"));

    // An edit of the box reaches the record when the page is saved.
    bench.row(4).time_on->setValue(250);
    bench.rules.before_images_saved();
    QCOMPARE(bench.images.io_text[3].substr(12, 2), std::string("19"));
  }

  void refusedPickShowsTheMessageAndChangesNothing() {
    PageBench bench;
    bench.page->edit->click();
    PageBench::pick(bench.row(1).function, "Counter pulse");
    const auto records = bench.images.io_text;
    const std::string parameters = bench.images.param_image;
    const QString note = bench.row(2).note->text();

    PageBench::pick(bench.row(2).function, "Counter pulse");
    QCOMPARE(bench.ui.errors(), std::vector<std::string>{"This output is already defined"});
    QCOMPARE(bench.row(2).function->currentText(), QString("Counter pulse"));
    QCOMPARE(bench.row(2).note->text(), note);
    QVERIFY(bench.images.io_text == records);
    QCOMPARE(bench.images.param_image, parameters);
  }

  void functionListIsNarrowUntilOpened() {
    PageBench bench;
    bench.page->edit->click();
    QCOMPARE(bench.row(1).function->width(), FunctionList::kClosedWidth);
    QCOMPARE(bench.row(1).function->view()->minimumWidth(), FunctionList::kOpenWidth);
    // The list of In 2/Out 7 offers the outputs and then the inputs.
    QCOMPARE(bench.row(7).function->itemText(bench.row(7).function->count() - 1),
             QString("Divider input"));
  }

  void choosingAVersionRedrawsThePage() {
    PageBench bench;
    QCOMPARE(bench.page->versions->currentText(), QString("Vending standard"));
    QVERIFY(!bench.shown(bench.page->parameters[0].box));
    PageBench::pick(bench.page->versions, "Credit timer with sorter");
    QCOMPARE(bench.row(1).note->text(), QString("Time per credit"));
    QCOMPARE(bench.row(4).note->text(), QString("Sorter"));
    QVERIFY(bench.shown(bench.page->parameters[0].box));
    QVERIFY(bench.shown(bench.page->heading_directions));
    QCOMPARE(bench.page->separators->currentText(), QString("3 paths"));
    QCOMPARE(bench.page->display_type->currentText(), QString("LED 4 digits"));
    QCOMPARE(bench.page->dip_mode->currentText(), QString("Timer preset"));
    QCOMPARE(bench.page->parameters[16].unit->text(), QString("Reset"));
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
    // Which control moved, and where to.
    const auto moved = [&first](const std::vector<int>& now, const QString& after) {
      for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] != first[i]) {
          return QString("after %1: control %2 %3 %4 -> %5")
              .arg(after)
              .arg(i / 2)
              .arg(i % 2 ? "width" : "x")
              .arg(first[i])
              .arg(now[i]);
        }
      }
      return QString();
    };
    for (int i = 0; i < page.display_type->count(); ++i) {
      PageBench::pick(page.display_type, page.display_type->itemText(i));
      QCOMPARE(moved(places(), page.display_type->itemText(i)), QString());
    }
    for (int i = 0; i < page.versions->count(); ++i) {
      PageBench::pick(page.versions, page.versions->itemText(i));
      QCOMPARE(moved(places(), page.versions->itemText(i)), QString());
    }
    page.edit->click();
    QCOMPARE(moved(places(), "Edit"), QString());
  }

  // The common parameters shown stand together from the top of their group,
  // wherever the hidden ones would have been.
  void shownParametersLeaveNoHoles() {
    PageBench bench;
    ConfigPage& page = *bench.page;
    for (const char* version : {"Timer with display", "Credit timer with sorter"}) {
      PageBench::pick(page.versions, version);
      QApplication::processEvents();
      std::vector<QPoint> shown;
      int top = std::numeric_limits<int>::max();
      for (std::size_t k : {1, 2, 3, 4, 5, 6, 7, 9, 10}) {
        QLabel* caption = page.parameters[k - 1].caption;
        const QPoint at = caption->mapTo(page.common_group, QPoint(0, 0));
        top = std::min(top, at.y());
        if (caption->isVisibleTo(&page)) shown.push_back(at);
      }
      QVERIFY2(shown.size() >= 2, version);
      std::sort(shown.begin(), shown.end(),
                [](QPoint a, QPoint b) { return a.x() != b.x() ? a.x() < b.x() : a.y() < b.y(); });
      QCOMPARE(shown[0].y(), top);
      const int pitch = shown[1].x() == shown[0].x() ? shown[1].y() - shown[0].y() : 0;
      for (std::size_t i = 1; i < shown.size(); ++i) {
        if (shown[i].x() != shown[i - 1].x()) {
          QCOMPARE(shown[i].y(), top);  // a new column starts at the top
        } else {
          QCOMPARE(shown[i].y() - shown[i - 1].y(), pitch);
        }
      }
      // The minutes/seconds choice stays beside the multiplier.
      if (page.multiplier_unit->isVisibleTo(&page)) {
        const QRect box = page.parameters[9].box->geometry();
        QVERIFY(box.top() <= page.multiplier_unit->geometry().center().y() &&
                page.multiplier_unit->geometry().center().y() <= box.bottom());
        QVERIFY(page.multiplier_unit->x() > box.right());
      }
    }
  }

  void fitsTheRecommendedScreen() {
    PageBench bench;
    const QSize needed = bench.page->minimumSizeHint();
    // The notebook page of a 1024 x 768 main window, less tool bar and device panel.
    QVERIFY2(needed.width() <= 1010 && needed.height() <= 620,
             qPrintable(QString("%1 x %2").arg(needed.width()).arg(needed.height())));
  }

  // Pictures of the page for people to look at, in the build tree.
  void screenshotsOfTwoStandardConfigurations() {
    PageBench bench;
    const QString shots = QString(QV82_BINARY_DIR) + "/shots";
    QDir().mkpath(shots);
    bench.page->edit->click();
    for (const QString& name :
         {QString("Timer with display"), QString("Credit timer with sorter")}) {
      PageBench::pick(bench.page->versions, name);
      QApplication::processEvents();
      const QString file = shots + "/config_page_" + QString(name).replace(' ', '_') + ".png";
      QVERIFY(bench.page->grab().save(file));
    }
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::ConfigPageTest)
#include "config_page_test.moc"
