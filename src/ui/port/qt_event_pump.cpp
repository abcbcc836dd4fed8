#include "ui/port/qt_event_pump.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <ctime>

namespace qv82 {

namespace {

std::uint64_t monotonic_us() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000 +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000;
}

}  // namespace

QtEventPump::QtEventPump() {
  timer_fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timer_fd_ >= 0) {
    timer_notifier_ = std::make_unique<QSocketNotifier>(timer_fd_, QSocketNotifier::Read);
    QObject::connect(timer_notifier_.get(), &QSocketNotifier::activated, [this] { on_timer(); });
  }
}

QtEventPump::~QtEventPump() {
  timer_notifier_.reset();
  if (timer_fd_ >= 0) ::close(timer_fd_);
}

std::uint64_t QtEventPump::now_us() const { return monotonic_us(); }

void QtEventPump::wake() {
  ++wakes_;
  if (!levels_.empty()) levels_.back().loop->quit();
}

bool QtEventPump::wait_until_us(std::uint64_t deadline_us) {
  const std::uint64_t wakes_at_start = wakes_;
  for (;;) {
    if (source_) source_->service();
    if (wakes_ != wakes_at_start) return true;
    const std::uint64_t now = now_us();
    if (now >= deadline_us) return false;
    std::uint64_t until = deadline_us;
    if (source_) {
      if (auto next_us = source_->us_until_next()) until = std::min(until, now + *next_us);
    }
    QEventLoop loop;
    levels_.push_back({&loop, until, wakes_at_start});
    run_loop_until(until);
    levels_.pop_back();
    // Back in an outer wait: it ends as well when it was woken meanwhile,
    // and otherwise needs its own deadline on the timer again.
    if (!levels_.empty()) {
      const Level& outer = levels_.back();
      if (wakes_ != outer.wakes_at_start) {
        outer.loop->quit();
      } else {
        arm_timer(outer.deadline_us);
      }
    }
  }
}

void QtEventPump::rest_until_us(std::uint64_t deadline_us) {
  // The in-process simulated device runs inside the waits: no sleeping past it.
  if (source_) {
    wait_until_us(deadline_us);
    return;
  }
  // Received bytes wait in the driver's queue and one look takes them all.
  // Windows are looked after at least once a poll period, and a failed port
  // ends the rest.
  constexpr std::uint64_t kLongestSleepUs = 10'000;
  const std::uint64_t wakes_at_start = wakes_;
  for (std::uint64_t now = now_us(); now < deadline_us && wakes_ == wakes_at_start;
       now = now_us()) {
    const std::uint64_t until = std::min(deadline_us, now + kLongestSleepUs);
    const timespec at{static_cast<time_t>(until / 1'000'000),
                      static_cast<long>(until % 1'000'000) * 1000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
    QCoreApplication::processEvents();
  }
}

void QtEventPump::run_loop_until(std::uint64_t at_us) {
  QEventLoop& loop = *levels_.back().loop;
  if (timer_fd_ >= 0) {
    arm_timer(at_us);
    loop.exec();
    return;
  }
  // No timer descriptor: the toolkit's timer, rounded up to whole
  // milliseconds so the wait is never shorter than asked.
  const std::uint64_t now = now_us();
  const auto ms = static_cast<int>((at_us > now ? at_us - now + 999 : 0) / 1000);
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void QtEventPump::arm_timer(std::uint64_t at_us) {
  if (timer_fd_ < 0) return;
  // An absolute time already past fires at once; zero would disarm.
  const std::uint64_t at = std::max<std::uint64_t>(at_us, 1);
  itimerspec deadline{};
  deadline.it_value.tv_sec = static_cast<time_t>(at / 1'000'000);
  deadline.it_value.tv_nsec = static_cast<long>(at % 1'000'000) * 1000;
  timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME, &deadline, nullptr);
}

void QtEventPump::on_timer() {
  std::uint64_t expirations = 0;
  const ssize_t ignored = ::read(timer_fd_, &expirations, sizeof expirations);
  (void)ignored;
  if (!levels_.empty() && now_us() >= levels_.back().deadline_us) levels_.back().loop->quit();
}

}  // namespace qv82
