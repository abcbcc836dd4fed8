#pragma once

// While alive, this process's writes stop at `bytes` (a full disk, without
// filling one); SIGXFSZ is ignored so the write fails instead. POSIX only.
#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>

namespace qv82::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    if (getrlimit(RLIMIT_FSIZE, &old_) != 0) return;
    rlimit small = old_;
    small.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    if (active_) setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool active() const { return active_; }

 private:
  void (*handler_)(int);
  rlimit old_{};
  bool active_ = false;
};

}  // namespace qv82::test
#endif
