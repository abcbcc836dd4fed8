#include "support/gui_test_main.h"
#include "ui/port/qt_event_pump.h"

#include <QTimer>
#include <QtTest>

#include "link/cctalk_link.h"
#include "sim/simulated_setup.h"

namespace qv82::test {

namespace {

constexpr std::uint64_t kMs = 1000;
// Generous: the machine is shared; only "at the deadline" is told from "woken long before".
constexpr std::uint64_t kLong = 10'000 * kMs;
constexpr std::uint64_t kSoon = 5'000 * kMs;

// Wakes the pump after kSoon so that a lost deadline fails instead of hanging.
struct Guard {
  explicit Guard(QtEventPump& pump) {
    QTimer::singleShot(static_cast<int>(kSoon / kMs), &context, [this, &pump] {
      fired = true;
      pump.wake();
    });
  }
  QObject context;
  bool fired = false;
};

}  // namespace

class QtEventPumpTest : public QObject {
  Q_OBJECT

 private slots:
  // A rest (the serial port's wait for a reply) sleeps through events and delivers them by its
  // end; a wake from one of them (a reply already whole) ends it at the next look.
  void restDeliversByItsEndAndEndsOnAWake() {
    QtEventPump pump;
    QObject context;
    bool delivered = false;
    QTimer::singleShot(1, &context, [&delivered] { delivered = true; });
    std::uint64_t start = pump.now_us();
    pump.rest_until_us(start + 30 * kMs);
    QVERIFY(delivered && pump.now_us() - start >= 30 * kMs);
    QTimer::singleShot(1, &context, [&pump] { pump.wake(); });
    start = pump.now_us();
    pump.rest_until_us(start + kLong);
    QVERIFY(pump.now_us() - start < kSoon);
  }

  // A wait ends at its deadline or when woken. A window timer may wait inside a transfer's
  // wait: the outer wait keeps its own deadline, and a wake meant for it is not lost.
  void waitEndsAtItsDeadlineOrWhenWokenAlsoAroundAnInnerWait() {
    struct Case {
      const char* name;
      std::uint64_t outer_us;
      std::uint64_t inner_us;  // 0: no inner wait
      int wake_after_ms;       // -1: nobody wakes it
      bool outer_woken;
    };
    const Case cases[] = {
        {"deadline", 30 * kMs, 0, -1, false},
        {"woken by an event", kLong, 0, 5, true},
        {"inner ends first", 60 * kMs, 20 * kMs, -1, false},
        {"inner outlasts the outer deadline", 20 * kMs, 60 * kMs, -1, false},
        {"woken inside the inner wait", kLong, kLong, 10, true},
    };
    for (const Case& c : cases) {
      QtEventPump pump;
      Guard guard(pump);
      QObject context;
      if (c.inner_us > 0) {
        QTimer::singleShot(0, &context, [&] { pump.wait_until_us(pump.now_us() + c.inner_us); });
      }
      if (c.wake_after_ms >= 0) {
        QTimer::singleShot(c.wake_after_ms, &context, [&pump] { pump.wake(); });
      }
      const std::uint64_t start = pump.now_us();
      QCOMPARE(pump.wait_until_us(start + c.outer_us), c.outer_woken);
      QVERIFY2(!guard.fired, c.name);  // a wake came long before the guard's
      if (!c.outer_woken) QVERIFY2(pump.now_us() - start >= c.outer_us, c.name);
    }
  }

  // The in-process simulated selector behind --simulate: its bytes arrive through the pump's
  // timed source and end the wait.
  void transactionOverTheTimedSourceEndsWhenTheReplyIsIn() {
    sim::SetupOptions options;
    options.real_time = true;
    sim::SimulatedSetup setup(options);
    sim::RealTimeClock* clock = setup.real_time_clock();
    QtEventPump pump;
    pump.set_timed_source(
        {[clock] { return clock->us_until_next(); }, [clock] { clock->catch_up(); }});
    CcTalkLink link(setup.line(), pump);
    Bytes reply;
    const std::uint64_t start = pump.now_us();
    QCOMPARE(link.cctalk_transaction(2, Bytes{0xFE}, reply, 200), kTransactionOk);
    QVERIFY(reply_is_ack(reply));
    QVERIFY2(pump.now_us() - start < 1'000 * kMs, "taken on arrival, not at the end of 2 s");
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::QtEventPumpTest)
#include "qt_event_pump_test.moc"
