// A full "Upload" (every item of the installation's template.xml) from
// qv82hs-sim at 9600 baud over the real serial path (QSerialPort on a
// pseudo-terminal), as the tool bar runs it: identification, FF 09, one
// memory read per item behind the access check, then the pages from the
// items. Prints the wall time against the floor that the protocol's waits
// and the wire allow for the same requests, and the CPU the host used.
// `--latency MS` sets the simulated device's reply latency (default 2).
#include <unistd.h>

#include <QCoreApplication>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "link/cctalk_link.h"
#include "sim_process.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

namespace {

using namespace qv82;

// Takes every section and reports only what went wrong.
class BenchUi : public Ui {
 public:
  void error(const std::string& text) override {
    std::fprintf(stderr, "error: %s\n", text.c_str());
  }
  void information(const std::string& text) override { last_information = text; }
  Answer question(const std::string&, Buttons) override { return Answer::Cancel; }
  std::optional<std::string> password(const std::string&, const std::string&,
                                      const Validator&) override {
    return std::nullopt;
  }
  bool choose_sections(const std::string&, ParameterTree&) override { return true; }
  std::optional<std::string> open_file(const std::string&) override { return std::nullopt; }
  std::optional<std::string> save_file(const std::string&) override { return std::nullopt; }
  void wait_cursor(bool) override {}

  std::string last_information;
};

struct Exchange {
  std::size_t request_bytes = 0;
  std::size_t reply_bytes = 0;
  double sent_s = 0.0;     // when the frame went out (after the pre-wait)
  double replied_s = 0.0;  // when the whole reply was there
};

constexpr double kBaud = 9600.0;
constexpr double kBitsPerByte = 10.0;  // start, 8 data, stop
constexpr double kPreWaitMs = 10.0;
constexpr double kPollMs = 10.0;

double wire_ms(std::size_t bytes) {
  return static_cast<double>(bytes) * kBitsPerByte / kBaud * 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);

  namespace fs = std::filesystem;
  const fs::path data = QV82_DATA_DIR;
  const fs::path workdir =
      fs::temp_directory_path() / ("qv82-bench-upload-" + std::to_string(::getpid()));
  fs::create_directories(workdir);
  for (const char* name : {"qv82hs.ini", "io.ini", "template.xml"}) {
    fs::copy_file(data / name, workdir / name, fs::copy_options::overwrite_existing);
  }

  const int latency_ms = bench::device_latency_ms(argc, argv);
  const double device_latency_ms = latency_ms;
  bench::SimProcess sim(bench::latency_options(latency_ms));
  QtSerialPort port;
  QtEventPump pump;
  BenchUi ui;
  Application app(port, pump, ui, workdir.string());
  port.set_port_name(sim.slave_path());
  port.open();
  app.link.device_address = 2;
  app.configuration.prepare(workdir.string());

  std::vector<Exchange> exchanges;
  app.link.add_log_line = [&](const std::string& line) {
    const std::size_t bytes = (line.size() - 3) / 2;
    if (line.rfind("-> ", 0) == 0) exchanges.push_back({bytes, 0, bench::wall_seconds(), 0.0});
    if (line.rfind("<- ", 0) == 0 && !exchanges.empty()) {
      exchanges.back().reply_bytes = bytes;
      exchanges.back().replied_s = bench::wall_seconds();
    }
  };

  const double cpu_start = bench::own_cpu_seconds();
  const double wall_start = bench::wall_seconds();
  const bool uploaded = app.configuration.transfer.upload();
  const double wall = bench::wall_seconds() - wall_start;
  const double cpu = bench::own_cpu_seconds() - cpu_start;
  sim.stop();
  const double sim_cpu = sim.cpu_seconds();
  fs::remove_all(workdir);

  std::size_t items = 0;
  for (std::size_t node = 0; node < app.configuration.tree.node_count(); ++node) {
    items += !app.configuration.tree.text(node).empty();
  }
  double floor_ms = 0.0;
  double poll_floor_ms = 0.0;
  std::size_t unanswered = 0;
  double on_line_ms = 0.0;
  for (const Exchange& e : exchanges) {
    if (e.replied_s > 0.0) on_line_ms += (e.replied_s - e.sent_s) * 1e3;
    unanswered += e.reply_bytes == 0;
    const double wire = wire_ms(e.request_bytes + e.reply_bytes);
    floor_ms += kPreWaitMs + wire;
    poll_floor_ms += kPreWaitMs + kPollMs * std::ceil((wire + device_latency_ms) / kPollMs);
  }
  const double wall_ms = wall * 1e3;

  std::printf("upload:               %s, %zu items read\n",
              uploaded ? ui.last_information.c_str() : "FAILED", items);
  std::printf("requests:             %zu (%zu unanswered)\n", exchanges.size(), unanswered);
  std::printf("wall time:            %.0f ms\n", wall_ms);
  std::printf("floor:                %.0f ms\n", floor_ms);
  std::printf(
      "  per request: the 10 ms wait before the frame, then the request frame on the\n"
      "  wire and the reply after it, 10 bits a byte at 9600 baud. The echo costs\n"
      "  nothing: on the single-wire bus the host hears each byte while sending it.\n");
  std::printf("ratio:                %.2f\n", wall_ms / floor_ms);
  const double device_ms = device_latency_ms * static_cast<double>(exchanges.size() - unanswered);
  std::printf("with device latency:  %.0f ms floor, ratio %.2f (simulator answers after %d ms)\n",
              floor_ms + device_ms, wall_ms / (floor_ms + device_ms), latency_ms);
  std::printf("poll-granular floor:  %.0f ms (ratio %.2f)\n", poll_floor_ms,
              wall_ms / poll_floor_ms);
  std::printf(
      "  the same, with the reply noticed only at the next 10 ms poll and the\n"
      "  simulator's reply latency: what a host that polls as the protocol\n"
      "  says can reach at best.\n");
  std::printf("between requests:     %.1f ms a request beyond the 10 ms pre-wait\n",
              (wall_ms - on_line_ms) / static_cast<double>(exchanges.size()) - kPreWaitMs);
  std::printf("  (time from a reply to the next frame, the work done there included)\n");
  std::printf("host CPU share:       %.2f %% of one core\n", 100.0 * cpu / wall);
  std::printf("simulator CPU share:  %.2f %% of one core\n", 100.0 * sim_cpu / wall);
  return uploaded && unanswered == 0 ? 0 : 1;
}
