#include "support/gui_test_main.h"
#include "ui/config_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QtTest>

#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "ui/config_page_widgets.h"

namespace qv82::test {

// The page over the rules, the installed lists and a scripted person.
struct PageBench {
  PageBench() {
    copy_data_files(dir, {"io.ini", "qv82hs.ini"});
    rules.activate(dir);
    page = std::make_unique<ConfigPage>(rules);
    page->show();
  }

  ConfigPage::RowWidgets& row(int position) { return page->rows[position - 1]; }
  bool shown(QWidget* widget) const { return widget->isVisibleTo(page.get()); }

  TempDir temp;
  std::string dir = temp.path();
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

    QComboBox* function = bench.row(4).function;
    function->setCurrentIndex(function->findText("Timed vend"));
    QVERIFY(function->currentIndex() >= 0);
    emit function->activated(function->currentIndex());
    QVERIFY(bench.ui.shown.empty());
    QCOMPARE(bench.row(4).note->text(), QString("Vend timer per coin"));
    QVERIFY(bench.shown(bench.row(4).time_on));
    QCOMPARE(bench.row(4).time_on->value(), 100);  // 10 steps of 10 s
    QVERIFY(!bench.shown(bench.row(4).channels_low));
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
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::ConfigPageTest)
#include "config_page_test.moc"
