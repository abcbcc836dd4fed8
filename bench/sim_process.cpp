#include "sim_process.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace qv82::bench {

ScratchInstallation::ScratchInstallation(const std::string& name)
    : path_(std::filesystem::temp_directory_path() /
            ("qv82-bench-" + name + "-" + std::to_string(::getpid()))) {
  std::filesystem::create_directories(path_);
  for (const char* file : {"qv82hs.ini", "io.ini", "template.xml"}) {
    std::filesystem::copy_file(std::filesystem::path(QV82_DATA_DIR) / file, path_ / file,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

ScratchInstallation::~ScratchInstallation() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

double own_cpu_seconds() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double wall_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int device_latency_ms(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) != "--latency") continue;
    char* end = nullptr;
    const long ms = std::strtol(argv[i + 1], &end, 10);
    if (end == argv[i + 1] || *end != '\0' || ms < 0 || ms > 10000) {
      std::fprintf(stderr, "--latency wants milliseconds from 0 to 10000, not \"%s\"\n",
                   argv[i + 1]);
      std::exit(64);
    }
    return static_cast<int>(ms);
  }
  return 2;
}

std::vector<std::string> latency_options(int latency_ms) {
  return {"--latency", std::to_string(latency_ms)};
}

std::vector<std::string> sim_options(int latency_ms, const std::string& pattern) {
  std::vector<std::string> options = latency_options(latency_ms);
  options.insert(options.end(), {"--delivery", pattern});
  return options;
}

std::vector<std::string> delivery_patterns(int argc, char** argv) {
  std::string list = "byte,block,8,held:16";
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--patterns") list = argv[i + 1];
  }
  std::vector<std::string> patterns;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = std::min(list.find(',', start), list.size());
    if (end > start) patterns.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return patterns;
}

double held_ms(const std::string& pattern) {
  return pattern.rfind("held:", 0) == 0 ? std::strtod(pattern.c_str() + 5, nullptr) : 0.0;
}

}  // namespace qv82::bench
