#include "ui/port/qt_event_pump.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace qv82 {

QtEventPump::QtEventPump() { clock_.start(); }

std::uint64_t QtEventPump::now_ms() const { return static_cast<std::uint64_t>(clock_.elapsed()); }

void QtEventPump::wait_ms(unsigned ms) {
  const qint64 end_ns = clock_.nsecsElapsed() + qint64{ms} * 1000000;
  for (;;) {
    if (source_) source_->service();
    const qint64 remaining_ns = end_ns - clock_.nsecsElapsed();
    if (remaining_ns <= 0) break;
    qint64 sleep_ns = remaining_ns;
    if (source_) {
      if (auto next_us = source_->us_until_next()) {
        sleep_ns = std::min<qint64>(sleep_ns, static_cast<qint64>(*next_us) * 1000);
      }
    }
    // Round up: a precise timer never fires early, so the wait lasts at
    // least as long as asked.
    const int sleep_ms = static_cast<int>((sleep_ns + 999999) / 1000000);
    QEventLoop loop;
    QTimer::singleShot(std::max(sleep_ms, 0), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

}  // namespace qv82
