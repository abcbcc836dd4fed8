#pragma once

#include <QSocketNotifier>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "link/event_pump.h"

class QEventLoop;

namespace qv82 {

// Waits in a nested event loop, so the process sleeps while the port's
// receive events, repaints and window timers run. The loop ends at the
// deadline (a timer file descriptor, exact to the microsecond where the
// toolkit's timers round to milliseconds) or at wake().
class QtEventPump : public EventPump {
 public:
  // Timed work outside Qt that must run during waits (the in-process
  // simulated device): how long until its next event, and a call that runs
  // whatever is due.
  struct TimedSource {
    std::function<std::optional<std::uint64_t>()> us_until_next;
    std::function<void()> service;
  };

  QtEventPump();
  ~QtEventPump() override;
  QtEventPump(const QtEventPump&) = delete;
  QtEventPump& operator=(const QtEventPump&) = delete;

  bool wait_until_us(std::uint64_t deadline_us) override;
  void rest_until_us(std::uint64_t deadline_us) override;
  void wake() override;
  std::uint64_t now_us() const override;
  void set_timed_source(TimedSource source) { source_ = std::move(source); }

 private:
  // One wait in progress; a window timer may start another inside it.
  struct Level {
    QEventLoop* loop;
    std::uint64_t deadline_us;
    std::uint64_t wakes_at_start;
  };
  void run_loop_until(std::uint64_t at_us);
  void arm_timer(std::uint64_t at_us);
  void on_timer();

  std::optional<TimedSource> source_;
  std::vector<Level> levels_;
  std::uint64_t wakes_ = 0;
  int timer_fd_ = -1;
  std::unique_ptr<QSocketNotifier> timer_notifier_;
};

}  // namespace qv82
