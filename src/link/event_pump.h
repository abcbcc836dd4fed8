#pragma once

#include <cstdint>

namespace qv82 {

// Lets time pass while received bytes, timers and repaints are delivered.
// Implementations sleep; none may spin. Virtual time in tests, a nested
// event loop in the windows, a sleeping loop on the command line.
class EventPump {
 public:
  virtual ~EventPump() = default;
  // Waits at least ms milliseconds while pending events are dispatched.
  virtual void wait_ms(unsigned ms) = 0;
  // A monotonic millisecond tick count.
  virtual std::uint64_t now_ms() const = 0;
};

}  // namespace qv82
