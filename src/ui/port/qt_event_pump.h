#pragma once

#include <QElapsedTimer>
#include <cstdint>
#include <functional>
#include <optional>

#include "link/event_pump.h"

namespace qv82 {

// Waits in a nested event loop until a precise timer fires, so the process
// sleeps while the port's receive events, repaints and window timers run.
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
  void wait_ms(unsigned ms) override;
  std::uint64_t now_ms() const override;
  void set_timed_source(TimedSource source) { source_ = std::move(source); }

 private:
  QElapsedTimer clock_;
  std::optional<TimedSource> source_;
};

}  // namespace qv82
