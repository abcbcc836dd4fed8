#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "link/event_pump.h"

namespace qv82 {

// Waits sleep in WaitForMultipleObjects on a waitable timer set to the
// deadline, an event that wake() sets, and the handles of pending port
// operations; a signalled handle runs its handler on the waiting thread.
class WindowsEventPump : public EventPump {
 public:
  WindowsEventPump();
  ~WindowsEventPump() override;
  WindowsEventPump(const WindowsEventPump&) = delete;
  WindowsEventPump& operator=(const WindowsEventPump&) = delete;

  bool wait_until_us(std::uint64_t deadline_us) override;
  void wake() override;
  std::uint64_t now_us() const override;

  // While watched, each time the handle is signalled during a wait,
  // on_signal runs (it must reset or re-arm the handle).
  void watch(HANDLE handle, std::function<void()> on_signal);
  void unwatch(HANDLE handle);

 private:
  struct Watched {
    HANDLE handle;
    std::function<void()> on_signal;
  };
  HANDLE wake_event_ = nullptr;
  HANDLE timer_ = nullptr;
  std::vector<Watched> watched_;
  bool woken_ = false;
};

}  // namespace qv82
