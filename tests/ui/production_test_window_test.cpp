// "Factory test" clicked through over the simulated coin selector, its loop
// timer running in virtual time.
#include "support/gui_test_main.h"
#include "ui/production_test_window.h"

#include <QCategoryAxis>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QtTest>
#include <algorithm>

#include "support/selector_bench.h"
#include "support/test_files.h"
#include "ui/analogue_gauge_view.h"
#include "virtual_events.h"

namespace qv82::test {

namespace {

// The window over a healthy device and the installed limits.
struct FactoryBench {
  FactoryBench() {
    copy_data_files(bench.dir.path(), {"Production.ini"});
    bench.selector.identify_device();
    bench.ui.clear();
    window.show();
    events.add_timer(window.loop_timer, [this] { window.on_loop_tick(); });
  }

  std::uint64_t now() const { return events.now_ms(); }

  SelectorBench bench;
  ProductionTestWindow window{bench.selector, bench.dir.file("Production.ini"), bench.settings,
                              bench.dir.file("units.csv")};
  VirtualEvents events{dynamic_cast<sim::VirtualClock&>(bench.setup.clock())};
  NestedTransfers transfers{bench.link};
};

}  // namespace

class ProductionTestWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // After each unit the gauges show its readings against the installed limits (PH1 64 ... 8C
  // among them), inside and outside; a unit that fails before it is measured shows none, not
  // the unit before. While a test runs, Start and the mode choice are off.
  void gaugesShowTheReadingsAgainstTheLimits() {
    FactoryBench run;
    const AnalogueGaugeView& gauges = *run.window.gauges;
    bool controls_on = true;
    run.events.at_ms(100, [&] {
      controls_on = run.window.start_button->isEnabled() || run.window.loop_choice->isEnabled();
    });
    run.window.start_button->click();
    QVERIFY(!controls_on && run.window.start_button->isEnabled());
    QCOMPARE(run.window.status_label->text(), QString("Test OK, change device"));
    const QStringList passing = gauges.row_axis->categoriesLabels();
    QCOMPARE(passing.size(), 9);
    // Rows from the bottom: the first reading of the reply on top.
    QCOMPARE(passing[8], QString("TPM1C3V 0200 (0180 ... 0280)"));
    QCOMPARE(passing[5], QString("PH1 78 (64 ... 8C)"));
    QCOMPARE(gauges.inside_readings->count(), 9);

    run.bench.device().config().analogue.ph1 = 0x90;
    run.window.start_button->click();
    QCOMPARE(run.window.status_label->text(), QString("ERROR!!! Change device"));
    QCOMPARE(gauges.row_axis->categoriesLabels()[5], QString("PH1 90 (64 ... 8C)"));
    QCOMPARE(gauges.outside_readings->points(), QList<QPointF>{QPointF(44.0 / 40, 5)});

    run.bench.device().config().inputs.sw1 = 0x06;
    run.window.start_button->click();
    QCOMPARE(gauges.inside_readings->count() + gauges.outside_readings->count(), 0);
    QCOMPARE(gauges.row_axis->categoriesLabels().filter("(").size(), 0);
  }

  // A click on "Loop" at any moment of a "Start" test must not start a second test inside
  // it; afterwards it starts the loop as usual, with Start off, which "Single" ends. The list
  // of units keeps up with the counts while the unit waits to be taken away.
  void loopClickedAcrossAStartTestNeverNestsATest() {
    const std::uint64_t duration = [] {
      FactoryBench one;
      one.window.start_button->click();
      return one.now();
    }();
    int loops = 0;
    for (std::uint64_t at = 0; at <= duration + kProductionTickMs; at += 50) {
      FactoryBench run;
      bool nested_start = false;
      bool start_off = true;
      run.events.at_ms(at, [&] {
        run.window.loop_choice->click();
        nested_start = run.window.model().cycle_running() && run.window.model().view.loop_mode;
        start_off = !run.window.start_button->isEnabled();
      });
      const std::uint64_t stop_at = at + 2 * duration + kProductionTickMs;
      int behind = 0;
      for (std::uint64_t look = at + 50; look < stop_at; look += 50) {
        run.events.at_ms(look, [&] {
          const int units = run.window.model().passed + run.window.model().failed;
          behind += run.window.recent_units->count() != std::min(units, 5);
        });
      }
      run.events.at_ms(stop_at, [&] { run.window.single_choice->click(); });
      run.window.start_button->click();
      run.events.run_until_ms(stop_at + 2 * duration);
      QVERIFY2(!nested_start && start_off && behind == 0 && run.transfers.nested == 0 &&
                   run.window.model().failed == 0,
               qPrintable(QString("Loop clicked at %1 ms").arg(at)));
      QVERIFY(run.window.start_button->isEnabled() && !run.window.loop_timer->isActive());
      loops += run.window.model().passed > 1;
    }
    QVERIFY(loops > 0);
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::ProductionTestWindowTest)
#include "production_test_window_test.moc"
