#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "link/cctalk_link.h"
#include "sim/scheduler.h"

namespace qv82::test {

// The windows' event loop in virtual time: each wait of the device clock delivers what Qt's
// nested loop would during a transfer, the clicks now due and a tick of every window timer
// whose interval has run (never inside its own tick). No real event loop fires the QTimers.
class VirtualEvents {
 public:
  explicit VirtualEvents(sim::VirtualClock& clock) : clock_(clock) {
    clock_.on_wait = [this] { dispatch(); };
  }
  ~VirtualEvents() { clock_.on_wait = nullptr; }
  VirtualEvents(const VirtualEvents&) = delete;
  VirtualEvents& operator=(const VirtualEvents&) = delete;

  void add_timer(QTimer* timer, std::function<void()> tick) {
    timers_.push_back({timer, std::move(tick), std::nullopt, false});
  }
  // A click (or any user action) at a virtual time.
  void at_ms(std::uint64_t time_ms, std::function<void()> action) {
    actions_.emplace(time_ms, std::move(action));
  }
  // Lets the window idle until the time, its timers running.
  void run_until_ms(std::uint64_t time_ms) {
    while (clock_.now_ms() < time_ms) clock_.wait_ms(kPollPeriodMs);
  }
  std::uint64_t now_ms() const { return clock_.now_ms(); }

 private:
  struct Timer {
    QTimer* timer;
    std::function<void()> tick;
    std::optional<std::uint64_t> since;
    bool ticking = false;
  };

  void dispatch() {
    while (!actions_.empty() && actions_.begin()->first <= clock_.now_ms()) {
      auto action = std::move(actions_.begin()->second);
      actions_.erase(actions_.begin());
      action();
    }
    for (Timer& timer : timers_) {
      if (timer.ticking) continue;
      const std::uint64_t now = clock_.now_ms();
      if (!timer.timer->isActive()) {
        timer.since.reset();
      } else if (!timer.since) {
        timer.since = now;
      } else if (now - *timer.since >= static_cast<std::uint64_t>(timer.timer->interval())) {
        timer.ticking = true;
        timer.tick();
        timer.ticking = false;
        timer.since = timer.timer->isActive() ? std::optional(clock_.now_ms()) : std::nullopt;
      }
    }
  }

  sim::VirtualClock& clock_;
  std::vector<Timer> timers_;
  std::multimap<std::uint64_t, std::function<void()>> actions_;
};

// Counts transfers that start while another is still waiting for its reply.
struct NestedTransfers {
  explicit NestedTransfers(CcTalkLink& link) {
    link.busy_start = [this] {
      if (++depth > 1) ++nested;
    };
    link.busy_end = [this] { --depth; };
  }
  int depth = 0;
  int nested = 0;
};

}  // namespace qv82::test
