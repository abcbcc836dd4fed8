#include "winport/windows_event_pump.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace qv82 {

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

HANDLE make_timer() {
  // Windows 10 1803 and later wake within the timer's own resolution; older
  // systems refuse the flag and get the ordinary timer.
  HANDLE timer = ::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
  if (timer == nullptr) timer = ::CreateWaitableTimerW(nullptr, TRUE, nullptr);
  return timer;
}

}  // namespace

WindowsEventPump::WindowsEventPump()
    : wake_event_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)), timer_(make_timer()) {
  if (wake_event_ == nullptr || timer_ == nullptr) {
    throw std::runtime_error("the system refused the event pump's timer or event");
  }
}

WindowsEventPump::~WindowsEventPump() {
  ::CloseHandle(timer_);
  ::CloseHandle(wake_event_);
}

std::uint64_t WindowsEventPump::now_us() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void WindowsEventPump::wake() {
  woken_ = true;
  ::SetEvent(wake_event_);
}

void WindowsEventPump::watch(HANDLE handle, std::function<void()> on_signal) {
  unwatch(handle);
  watched_.push_back({handle, std::move(on_signal)});
}

void WindowsEventPump::unwatch(HANDLE handle) {
  std::erase_if(watched_, [handle](const Watched& w) { return w.handle == handle; });
}

bool WindowsEventPump::wait_until_us(std::uint64_t deadline_us) {
  // A wake from before this wait does not end it.
  woken_ = false;
  ::ResetEvent(wake_event_);
  for (;;) {
    if (woken_) {
      ::ResetEvent(wake_event_);
      woken_ = false;
      return true;
    }
    const std::uint64_t now = now_us();
    if (now >= deadline_us) return false;
    // Relative due time, in 100 ns units.
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>((deadline_us - now) * 10);
    ::SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE);

    std::vector<HANDLE> handles = {wake_event_, timer_};
    std::vector<std::function<void()>> handlers;
    for (const Watched& w : watched_) {
      if (handles.size() == MAXIMUM_WAIT_OBJECTS) break;
      handles.push_back(w.handle);
      handlers.push_back(w.on_signal);
    }
    const DWORD result = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                  handles.data(), FALSE, INFINITE);
    if (result == WAIT_OBJECT_0) {
      woken_ = false;
      return true;
    }
    if (result >= WAIT_OBJECT_0 + 2 && result < WAIT_OBJECT_0 + handles.size()) {
      handlers[result - WAIT_OBJECT_0 - 2]();
    } else if (result == WAIT_FAILED) {
      // Nothing to wait on any more (a handle closed under us): sleep out
      // the rest in steps rather than spin.
      ::Sleep(1);
    }
  }
}

}  // namespace qv82
