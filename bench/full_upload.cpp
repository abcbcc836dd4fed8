// A full "Upload" (every item of the installation's template.xml) from
// qv82hs-sim at 9600 baud over the real serial path (QSerialPort on a
// pseudo-terminal), as the tool bar runs it: identification, FF 09, one
// memory read per item behind the access check, then the pages from the
// items. Prints the wall time against the floor that the protocol's waits
// and the wire allow for the same requests, and the CPU the host used, for
// each way an adapter may hand the bytes over (`--patterns`, see
// sim_process.h). `--latency MS` sets the simulated device's reply latency
// (default 2).
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "link/cctalk_link.h"
#include "bench_ui.h"
#include "sim_process.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

namespace {

using namespace qv82;

struct Exchange {
  std::size_t request_bytes = 0;
  std::size_t reply_bytes = 0;
  double sent_s = 0.0;     // when the frame went out (after the pre-wait)
  double replied_s = 0.0;  // when the whole reply was there
};

constexpr double kBaud = 9600.0;
constexpr double kBitsPerByte = 10.0;  // start, 8 data, stop
constexpr double kPreWaitMs = 10.0;

double wire_ms(std::size_t bytes) {
  return static_cast<double>(bytes) * kBitsPerByte / kBaud * 1e3;
}

struct Run {
  bool uploaded = false;
  std::size_t requests = 0;
  std::size_t unanswered = 0;
  double wall_ms = 0.0;
  double floor_ms = 0.0;  // pre-waits, wire and device latency
  double between_ms = 0.0;
  double cpu_s = 0.0;
  double sim_cpu_s = 0.0;
};

Run upload_once(const std::string& workdir, int latency_ms, const std::string& pattern) {
  bench::SimProcess sim(bench::sim_options(latency_ms, pattern));
  QtSerialPort port;
  QtEventPump pump;
  bench::BenchUi ui;
  Application app(port, pump, ui, workdir);
  port.set_port_name(sim.slave_path());
  port.open();
  app.link.device_address = 2;
  app.configuration.prepare(workdir);

  std::vector<Exchange> exchanges;
  app.link.add_log_line = [&](const std::string& line) {
    const std::size_t bytes = (line.size() - 3) / 2;
    if (line.rfind("-> ", 0) == 0) exchanges.push_back({bytes, 0, bench::wall_seconds(), 0.0});
    if (line.rfind("<- ", 0) == 0 && !exchanges.empty()) {
      exchanges.back().reply_bytes = bytes;
      exchanges.back().replied_s = bench::wall_seconds();
    }
  };

  Run run;
  const double cpu_start = bench::own_cpu_seconds();
  const double wall_start = bench::wall_seconds();
  run.uploaded = app.configuration.transfer.upload();
  run.wall_ms = (bench::wall_seconds() - wall_start) * 1e3;
  run.cpu_s = bench::own_cpu_seconds() - cpu_start;
  sim.stop();
  run.sim_cpu_s = sim.cpu_seconds();
  if (!run.uploaded) std::fprintf(stderr, "%s: upload failed\n", pattern.c_str());

  double on_line_ms = 0.0;
  for (const Exchange& e : exchanges) {
    if (e.replied_s > 0.0) on_line_ms += (e.replied_s - e.sent_s) * 1e3;
    run.unanswered += e.reply_bytes == 0;
    run.floor_ms += kPreWaitMs + wire_ms(e.request_bytes + e.reply_bytes);
  }
  run.requests = exchanges.size();
  run.floor_ms += latency_ms * static_cast<double>(run.requests - run.unanswered);
  run.between_ms =
      (run.wall_ms - on_line_ms) / static_cast<double>(std::max<std::size_t>(run.requests, 1)) -
      kPreWaitMs;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);

  namespace fs = std::filesystem;
  const bench::ScratchInstallation scratch("upload");
  const fs::path workdir = scratch.path();
  const int latency_ms = bench::device_latency_ms(argc, argv);

  std::printf("upload: every template item at 9600 baud, device latency %d ms\n", latency_ms);
  std::printf(
      "floor: per request the 10 ms wait before the frame, the request and the reply\n"
      "  on the wire (10 bits a byte; the echo is heard while sending) and the\n"
      "  device latency; plus L per request for held:L\n");
  std::printf("%-10s %9s %9s %7s %9s %9s %11s  %s\n", "pattern", "wall ms", "floor ms", "ratio",
              "host CPU", "sim CPU", "between ms", "requests");
  bool all_uploaded = true;
  for (const std::string& pattern : bench::delivery_patterns(argc, argv)) {
    const Run run = upload_once(workdir.string(), latency_ms, pattern);
    const double floor_ms =
        run.floor_ms + bench::held_ms(pattern) * static_cast<double>(run.requests);
    all_uploaded = all_uploaded && run.uploaded && run.unanswered == 0;
    std::printf("%-10s %9.0f %9.0f %7.3f %8.2f%% %8.2f%% %11.2f  %zu (%zu unanswered)%s\n",
                pattern.c_str(), run.wall_ms, floor_ms, run.wall_ms / floor_ms,
                100.0 * run.cpu_s / (run.wall_ms / 1e3),
                100.0 * run.sim_cpu_s / (run.wall_ms / 1e3), run.between_ms, run.requests,
                run.unanswered, run.uploaded ? "" : " FAILED");
    std::fflush(stdout);
  }
  fs::remove_all(workdir);
  return all_uploaded ? 0 : 1;
}
