#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "link/event_pump.h"

namespace qv82::sim {

// Time-ordered actions of the simulated line, in microseconds. The same
// queue runs under virtual time (tests) and under real time (--simulate).
class Scheduler {
 public:
  using Action = std::function<void()>;

  std::uint64_t now_us() const { return now_us_; }
  void schedule_at_us(std::uint64_t time_us, Action action);
  void schedule_in_us(std::uint64_t delay_us, Action action) {
    schedule_at_us(now_us_ + delay_us, std::move(action));
  }
  std::optional<std::uint64_t> next_event_us() const;

  // Runs every action due up to time_us in order (actions may schedule more),
  // then sets the clock to time_us (never backwards). When stop is given and
  // answers true after an action, the clock stays at that action's time and
  // the call answers true.
  bool run_until_us(std::uint64_t time_us, const std::function<bool()>& stop = nullptr);

 private:
  std::uint64_t now_us_ = 0;
  std::uint64_t sequence_ = 0;
  std::map<std::pair<std::uint64_t, std::uint64_t>, Action> actions_;
};

// Virtual time: a wait advances the clock and delivers what falls due, so a
// whole upload runs in milliseconds and time-outs are exact.
class VirtualClock : public EventPump {
 public:
  explicit VirtualClock(Scheduler& scheduler) : scheduler_(scheduler) {}
  // A wake from a line event ends the wait at that event's time.
  bool wait_until_us(std::uint64_t deadline_us) override;
  void wake() override { woken_ = true; }
  std::uint64_t now_us() const override { return scheduler_.now_us(); }
  // Hook run at the end of each wait (a window timer stand-in in tests).
  std::function<void()> on_wait;

 private:
  Scheduler& scheduler_;
  bool woken_ = false;
};

// Real time for the in-process simulated device: sleeps until the next line
// event or the end of the wait, whichever comes first.
class RealTimeClock : public EventPump {
 public:
  explicit RealTimeClock(Scheduler& scheduler);
  bool wait_until_us(std::uint64_t deadline_us) override;
  void wake() override { woken_ = true; }
  std::uint64_t now_us() const override { return elapsed_us(); }
  // Brings the scheduler up to the wall clock without waiting.
  void catch_up();
  // Microseconds until the scheduler's next action is due (0 when overdue).
  std::optional<std::uint64_t> us_until_next() const;

 private:
  std::uint64_t elapsed_us() const;
  Scheduler& scheduler_;
  std::int64_t start_ns_;
  bool woken_ = false;
};

}  // namespace qv82::sim
