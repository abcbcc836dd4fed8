#pragma once

#include <utility>

namespace qv82 {

// Runs its action when the scope ends, however it ends. The windows use it to
// clear their "talking to the device" flags, so that a port error thrown
// through a handler never leaves a dialog's buttons dead.
template <typename Action>
class ScopeExit {
 public:
  explicit ScopeExit(Action action) : action_(std::move(action)) {}
  ~ScopeExit() { action_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Action action_;
};

}  // namespace qv82
