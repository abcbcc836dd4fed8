// "Test device" clicked through over the simulated coin selector, its tick
// and impulse timers running in virtual time.
#include "support/gui_test_main.h"
#include "ui/selector_test_window.h"

#include <QCheckBox>
#include <QCoreApplication>
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
    for (std::uint64_t at = 0; at <= kTestTickMs; at += 10) {
      CheckBench run;
      const std::uint64_t click_at = run.now() + kTestTickMs + at;
      std::size_t requests_at_click = 0;
      run.events.at_ms(click_at, [&] {
        requests_at_click = run.bench.device().requests().size();
        run.window.insertion_test_box->click();
      });
      run.events.run_until_ms(click_at + 1000);
      const auto& requests = run.bench.device().requests();
      QCOMPARE(std::count_if(requests.begin() + static_cast<std::ptrdiff_t>(requests_at_click),
                             requests.end(), [](const Bytes& frame) { return frame[3] == 0x01; }),
               1);  // one reset
      run.bench.device().insert(0);
      run.bench.device().insert(8);  // a foreign coin: rejected
      run.events.run_until_ms(run.now() + 500);
      QCOMPARE(run.window.events_list->count(), 2);
      QCOMPARE(run.window.events_list->item(0)->text(), QString("Coin 1"));
      QCOMPARE(run.window.events_list->item(1)->text(), QString("Rejected"));
      QCOMPARE(run.transfers.nested, 0);
    }
  }

  // Each output button latches its own output and each solenoid button pulses its own
  // solenoid on the next tick; "Loop" walks the outputs and pulses M after output 7.
  void outputAndSolenoidButtonsDriveTheirOwnLines() {
    CheckBench run;
    run.events.run_until_ms(run.now() + 2 * kTestTickMs);
    int offered = 0;
    for (int k = 0; k < kTestOutputs; ++k) {
      if (!run.window.output_buttons[k]->isEnabled()) continue;
      ++offered;
      run.window.output_buttons[k]->click();
      run.events.run_until_ms(run.now() + kTestTickMs + 100);
      QCOMPARE(run.bench.device().latched_outputs(), std::uint8_t(1 << k));
      run.window.output_buttons[k]->click();
    }
    for (int s = 0; s < 4; ++s) {
      if (!run.window.solenoid_buttons[s]->isEnabled()) continue;
      ++offered;
      run.window.solenoid_buttons[s]->click();
      run.events.run_until_ms(run.now() + kTestTickMs + 100);
      QCOMPARE(run.bench.device().last_solenoids(), std::uint8_t(1 << s));
    }
    QVERIFY(offered > 2);
    const int pulses = run.bench.device().solenoid_pulses();
    run.window.loop_button->click();
    run.events.run_until_ms(run.now() + 10 * (kTestTickMs + 100));
    QCOMPARE(run.bench.device().solenoid_pulses(), pulses + 1);
    QCOMPARE(run.bench.device().latched_outputs(), std::uint8_t{0});  // back to the normal tick
    QCOMPARE(run.transfers.nested, 0);
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::SelectorTestWindowTest)
#include "selector_test_window_test.moc"
