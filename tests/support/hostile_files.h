#pragma once

// Things in the file system that are no files of the kind a reader wants:
// a device, a pipe, a folder and a (sparse) file of 5 MiB.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/temp_dir.h"

namespace qv82::test {

struct HostileFiles {
  HostileFiles() {
    ::mkfifo(pipe.c_str(), 0600);
    std::filesystem::create_directory(folder);
    { std::ofstream(large) << "x"; }
    std::filesystem::resize_file(large, 5u << 20);
  }

  TempDir dir;
  const std::string device = "/dev/zero";
  const std::string pipe = dir.file("pipe.xml");
  const std::string folder = dir.file("folder.xml");
  const std::string large = dir.file("large.xml");
};

// Opens the pipe's writing end after ten seconds and closes it again, so
// that a reader stuck on the pipe ends and its test fails instead of hanging.
class PipeUnblocker {
 public:
  explicit PipeUnblocker(const std::string& path)
      : thread_([path, this] {
          for (int i = 0; i < 100 && !done_; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
          }
          const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
          if (fd >= 0) ::close(fd);
        }) {}
  ~PipeUnblocker() {
    done_ = true;
    thread_.join();
  }
  PipeUnblocker(const PipeUnblocker&) = delete;
  PipeUnblocker& operator=(const PipeUnblocker&) = delete;

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace qv82::test
