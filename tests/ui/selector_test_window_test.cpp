// "Test device" clicked through over the simulated coin selector, its tick
// and impulse timers running in virtual time.
#include "support/gui_test_main.h"
#include "ui/selector_test_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

#include "support/selector_bench.h"
#include "virtual_events.h"

namespace qv82::test {

namespace {

struct CheckBench {
  CheckBench() {
    bench.selector.identify_device();
    events.add_timer(window.tick_timer, [this] { window.on_tick(); });
    events.add_timer(window.impulse_timer, [this] { window.on_impulse_end(); });
    window.show();
    // The reset and the opening run once the window is up.
    QCoreApplication::processEvents();
  }

  std::uint64_t now() const { return events.now_ms(); }
  // Reset requests the device received since the given count of requests.
  int resets_since(std::size_t first) {
    const auto& requests = bench.device().requests();
    return static_cast<int>(std::count_if(requests.begin() + static_cast<std::ptrdiff_t>(first),
                                          requests.end(),
                                          [](const Bytes& frame) { return frame[3] == 0x01; }));
  }
  QStringList events_listed() const {
    QStringList lines;
    for (int i = 0; i < window.events_list->count(); ++i)
      lines << window.events_list->item(i)->text();
    return lines;
  }

  SelectorBench bench;
  SelectorTestWindow window{bench.selector};
  VirtualEvents events{dynamic_cast<sim::VirtualClock&>(bench.setup.clock())};
  NestedTransfers transfers{bench.link};
};

}  // namespace

class SelectorTestWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // "Insertion test" ticked at any moment of a tick: the reset waits for the
  // tick to end, and the coins inserted afterwards are listed.
  void insertionTestTickedAcrossATickNeverNestsATransfer() {
    const std::uint64_t cycle = [] {
      CheckBench one;
      one.events.run_until_ms(one.now() + 1000);
      const std::size_t before = one.bench.device().requests().size();
      one.events.run_until_ms(one.now() + 1000);
      // Five requests a tick (inputs, type, analogue, optos, outputs).
      return 5000 / std::max<std::size_t>(one.bench.device().requests().size() - before, 1);
    }();
    for (std::uint64_t at = 0; at <= cycle + 50; at += 50) {
      CheckBench run;
      const std::uint64_t click_at = run.now() + kTestTickMs + at;
      std::size_t requests_at_click = 0;
      run.events.at_ms(click_at, [&] {
        requests_at_click = run.bench.device().requests().size();
        run.window.insertion_test_box->click();
      });
      run.events.run_until_ms(click_at + 1000);
      QCOMPARE(run.resets_since(requests_at_click), 1);
      run.bench.device().insert(0);
      run.bench.device().insert(8);  // a foreign coin: rejected
      run.events.run_until_ms(run.now() + 500);
      QCOMPARE(run.events_listed(), (QStringList{"Coin 1", "Rejected"}));
      QCOMPARE(run.transfers.nested, 0);
    }
  }

  // The window's controls keep their places: ticking "Insertion test"
  // leaves the box under the mouse, and lines the device does not offer
  // stay where they are, greyed, instead of leaving holes.
  void controlsKeepTheirPlaces() {
    CheckBench run;
    std::vector<QWidget*> widgets(run.window.output_buttons.begin(),
                                  run.window.output_buttons.end());
    widgets.push_back(run.window.insertion_test_box);
    const auto places = [&run, &widgets] {
      run.events.run_until_ms(run.now() + 1000);
      QApplication::processEvents();
      std::vector<QRect> at;
      for (QWidget* w : widgets) at.emplace_back(w->mapTo(&run.window, QPoint(0, 0)), w->size());
      return at;
    };
    const std::vector<QRect> first = places();
    QVERIFY(std::all_of(widgets.begin(), widgets.end(), [](QWidget* w) { return w->isVisible(); }));
    const auto greyed = [](QWidget* w) { return !w->isEnabled(); };
    QVERIFY2(std::any_of(widgets.begin(), widgets.end(), greyed),
             "the simulated device offers fewer than seven outputs");
    run.window.insertion_test_box->click();
    QVERIFY(places() == first);
    QVERIFY(run.window.events_list->isVisible());
    run.window.insertion_test_box->click();
    QVERIFY(places() == first);
  }

  // The measurement carries one PI3 value: the second row says so instead
  // of staying blank.
  void missingPi3s2ShowsADashAndWhy() {
    CheckBench run;
    run.events.run_until_ms(run.now() + 3 * kTestTickMs);
    QStringList dashed;
    for (const QLabel* label : run.window.findChildren<QLabel*>()) {
      if (label->text() == QString::fromUtf8("\u2014")) dashed << label->toolTip();
    }
    QCOMPARE(dashed, QStringList{"The device's layout carries no such value"});
  }

  // "Loop" walks the outputs tick by tick and pulses M after output 7; the
  // solenoid buttons pulse on the next tick.
  void outputLoopAndSolenoidButtons() {
    CheckBench run;
    run.window.solenoid_buttons[0]->click();
    run.events.run_until_ms(run.now() + 2 * kTestTickMs + 100);
    QCOMPARE(run.bench.device().solenoid_pulses(), 1);

    run.window.loop_button->click();
    run.events.run_until_ms(run.now() + 10 * (kTestTickMs + 100));
    QCOMPARE(run.bench.device().solenoid_pulses(), 2);
    QCOMPARE(run.bench.device().latched_outputs(), std::uint8_t{0});  // back to the normal tick
    QCOMPARE(run.transfers.nested, 0);
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::SelectorTestWindowTest)
#include "selector_test_window_test.moc"
