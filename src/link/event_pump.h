#pragma once

#include <cstdint>

namespace qv82 {

// Lets time pass while received bytes, timers and repaints are delivered.
// Implementations sleep; none may spin. Virtual time in tests, a nested
// event loop in the windows, a sleeping loop on the command line.
class EventPump {
 public:
  virtual ~EventPump() = default;

  // Waits until now_us() reaches deadline_us, or less when wake() is called
  // while it waits; pending events are dispatched meanwhile. True when woken.
  virtual bool wait_until_us(std::uint64_t deadline_us) = 0;
  // Ends the wait in progress early: received bytes want looking at. Called
  // from an event the wait dispatches; harmless when nothing waits.
  virtual void wake() = 0;
  // A monotonic microsecond clock.
  virtual std::uint64_t now_us() const = 0;
  // Lets time pass until deadline_us when nothing awaited can be complete
  // before then. A pump may sleep without looking at the port meanwhile, so
  // a reply on the wire costs one wake-up rather than one per byte; what
  // arrived is delivered when the rest ends. By default an ordinary wait.
  virtual void rest_until_us(std::uint64_t deadline_us) { wait_until_us(deadline_us); }

  // Waits at least ms milliseconds; wakes do not shorten it. Events are
  // dispatched at least once, even for 0.
  void wait_ms(unsigned ms) {
    const std::uint64_t end = now_us() + std::uint64_t{ms} * 1000;
    do {
      wait_until_us(end);
    } while (now_us() < end);
  }
  std::uint64_t now_ms() const { return now_us() / 1000; }
};

}  // namespace qv82
