// What the trust in a write costs: a full "Download" (every item of the
// installation's template.xml, after an Upload of them) into qv82hs-sim at
// 9600 baud over the real serial path, three ways: the writes alone
// (--no-verify --no-backup on the command line), with the read-back of every
// write before the store (the default's verification), and the default
// (backup read and saved first, then writes and read-back). Prints the wall
// time of each and its ratio to the writes alone. `--latency MS` sets the
// simulated device's reply latency (default 2).
#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/application.h"
#include "link/cctalk_link.h"
#include "bench_ui.h"
#include "sim_process.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

namespace {

using namespace qv82;

struct Mode {
  const char* name;
  bool verify;
  bool backup;
};

struct Run {
  bool downloaded = false;
  double wall_ms = 0.0;
  std::size_t requests = 0;
};

Run download_once(const std::string& workdir, int latency_ms, const Mode& mode) {
  bench::SimProcess sim(bench::latency_options(latency_ms));
  QtSerialPort port;
  QtEventPump pump;
  bench::BenchUi ui;
  Application app(port, pump, ui, workdir);
  port.set_port_name(sim.slave_path());
  port.open();
  app.link.device_address = 2;
  app.configuration.prepare(workdir);
  Run run;
  if (!app.configuration.transfer.upload()) return run;
  app.selector.verify_writes = mode.verify;
  if (!mode.backup) app.selector.back_up = nullptr;
  app.link.add_log_line = [&run](const std::string& line) {
    if (line.rfind("-> ", 0) == 0) ++run.requests;
  };
  const double wall_start = bench::wall_seconds();
  run.downloaded = app.configuration.transfer.download();
  run.wall_ms = (bench::wall_seconds() - wall_start) * 1e3;
  sim.stop();
  if (!run.downloaded) std::fprintf(stderr, "%s: download failed\n", mode.name);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);

  namespace fs = std::filesystem;
  const bench::ScratchInstallation scratch("verify");
  const fs::path workdir = scratch.path();
  const int latency_ms = bench::device_latency_ms(argc, argv);

  std::printf("download: every template item at 9600 baud, device latency %d ms\n", latency_ms);
  std::printf("%-28s %9s %9s %7s\n", "mode", "wall ms", "requests", "ratio");
  const Mode modes[] = {{"writes alone", false, false},
                        {"writes + read-back", true, false},
                        {"backup + writes + read-back", true, true}};
  bool all = true;
  double alone_ms = 0.0;
  for (const Mode& mode : modes) {
    const Run run = download_once(workdir.string(), latency_ms, mode);
    if (alone_ms == 0.0) alone_ms = run.wall_ms;
    all = all && run.downloaded;
    std::printf("%-28s %9.0f %9zu %7.2f%s\n", mode.name, run.wall_ms, run.requests,
                run.wall_ms / alone_ms, run.downloaded ? "" : " FAILED");
    std::fflush(stdout);
  }
  fs::remove_all(workdir);
  return all ? 0 : 1;
}
