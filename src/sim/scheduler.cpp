#include "sim/scheduler.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace qv82::sim {

void Scheduler::schedule_at_us(std::uint64_t time_us, Action action) {
  actions_.emplace(std::make_pair(std::max(time_us, now_us_), sequence_++), std::move(action));
}

std::optional<std::uint64_t> Scheduler::next_event_us() const {
  if (actions_.empty()) return std::nullopt;
  return actions_.begin()->first.first;
}

bool Scheduler::run_until_us(std::uint64_t time_us, const std::function<bool()>& stop) {
  while (!actions_.empty() && actions_.begin()->first.first <= time_us) {
    auto node = actions_.extract(actions_.begin());
    now_us_ = std::max(now_us_, node.key().first);
    node.mapped()();
    if (stop && stop()) return true;
  }
  now_us_ = std::max(now_us_, time_us);
  return false;
}

bool VirtualClock::wait_until_us(std::uint64_t deadline_us) {
  woken_ = false;
  const bool woken = scheduler_.run_until_us(deadline_us, [this] { return woken_; });
  if (on_wait) on_wait();
  return woken;
}

namespace {

std::int64_t steady_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

RealTimeClock::RealTimeClock(Scheduler& scheduler)
    : scheduler_(scheduler), start_ns_(steady_ns()) {}

std::uint64_t RealTimeClock::elapsed_us() const {
  return static_cast<std::uint64_t>((steady_ns() - start_ns_) / 1000);
}

void RealTimeClock::catch_up() { scheduler_.run_until_us(elapsed_us()); }

std::optional<std::uint64_t> RealTimeClock::us_until_next() const {
  const auto next = scheduler_.next_event_us();
  if (!next) return std::nullopt;
  const std::uint64_t now = elapsed_us();
  return *next > now ? *next - now : 0;
}

bool RealTimeClock::wait_until_us(std::uint64_t deadline_us) {
  woken_ = false;
  for (;;) {
    if (scheduler_.run_until_us(elapsed_us(), [this] { return woken_; })) return true;
    const std::uint64_t now = elapsed_us();
    if (now >= deadline_us) return false;
    std::uint64_t wake = deadline_us;
    if (auto next = scheduler_.next_event_us()) wake = std::min(wake, std::max(*next, now));
    std::this_thread::sleep_for(std::chrono::microseconds(wake - now));
  }
}

}  // namespace qv82::sim
