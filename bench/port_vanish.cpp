// The adapter pulled in the middle of an upload, a download and a firmware
// download, over the real serial path (QSerialPort on the pseudo-terminal of
// qv82hs-sim, which is ended mid-operation). For each: the time from the
// pull to the message, the host's CPU share in the 10 s that follow (the
// line must not wake the process), and whether a new Search finds the
// device once a new terminal is there under the same name.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "firmware/firmware_download.h"
#include "firmware/srecord_writer.h"
#include "link/errors.h"
#include "bench_ui.h"
#include "sim_process.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

namespace {

using namespace qv82;

constexpr double kIdleSeconds = 10.0;

// Lets the event loop run, as the window does between user actions.
void stay_idle(double seconds) {
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
}

struct Outcome {
  double to_message_ms = -1.0;
  std::size_t messages = 0;
  std::string message;
  double idle_cpu_percent = 0.0;
  bool found_again = false;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  namespace fs = std::filesystem;
  const bench::ScratchInstallation scratch("vanish");
  const fs::path workdir = scratch.path();
  const std::string link = (workdir / "qv82").string();

  Bytes code(16 * 1024);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i * 31 + 7);
  std::ofstream((workdir / "image.u19").string())
      << write_srecord_image({"QV82HS-BL", "QV82HS-9.00", 0, code, 32});
  const FirmwareImage image = *read_firmware_image((workdir / "image.u19").string()).image;

  QtSerialPort port;
  QtEventPump pump;
  bench::BenchUi ui(Answer::Yes, false);
  Application app(port, pump, ui, workdir.string());
  app.configuration.prepare(workdir.string());
  port.set_extra_ports({link});
  port.set_port_name(link);

  struct Case {
    const char* name;
    std::vector<std::string> sim_options;
    int pull_after_ms;  // into the operation
    std::function<void()> before;
    std::function<void()> operation;
  };
  FirmwareDownload download(app.link, app.selector);
  const Case cases[] = {
      {"upload", {}, 800, [] {}, [&] { app.configuration.transfer.upload(); }},
      {"download",
       {},
       600,
       [&] { app.configuration.transfer.upload(); },
       [&] { app.configuration.transfer.download(); }},
      {"firmware",
       {"--monitor-rates", "38400"},
       1500,
       [] {},
       [&] {
         app.device.download_address = app.link.device_address;
         if (download.start_monitor() == kMonitorReady) download.download_prgm(image);
       }},
  };

  bool all_good = true;
  std::printf("%-9s %14s %9s %18s %12s  message\n", "pulled in", "to message", "messages",
              "CPU next 10 s", "Search again");
  for (const Case& c : cases) {
    std::vector<std::string> options = {"--link", link};
    options.insert(options.end(), c.sim_options.begin(), c.sim_options.end());
    auto sim = std::make_unique<bench::SimProcess>(options);
    port.close();
    if (!app.selector.search()) {
      std::fprintf(stderr, "%s: no device found before the pull\n", c.name);
      return 1;
    }
    c.before();
    ui.errors.clear();

    Outcome outcome;
    double pulled_at = 0.0;
    double told_at = 0.0;
    QTimer::singleShot(c.pull_after_ms, [&] {
      pulled_at = bench::wall_seconds();
      sim->stop();
    });
    try {
      c.operation();
    } catch (const PortError& e) {
      ui.error(e.what());  // as the window's handler shows it
    }
    told_at = bench::wall_seconds();
    outcome.messages = ui.errors.size();
    if (!ui.errors.empty()) outcome.message = ui.errors.front();
    if (pulled_at > 0.0) outcome.to_message_ms = (told_at - pulled_at) * 1e3;

    const double cpu_before = bench::own_cpu_seconds();
    const double wall_before = bench::wall_seconds();
    stay_idle(kIdleSeconds);
    outcome.idle_cpu_percent =
        100.0 * (bench::own_cpu_seconds() - cpu_before) / (bench::wall_seconds() - wall_before);

    sim = std::make_unique<bench::SimProcess>(options);
    ui.errors.clear();
    outcome.found_again = app.selector.search() && ui.errors.empty();
    sim->stop();

    std::printf("%-9s %11.0f ms %9zu %16.2f %% %12s  %s\n", c.name, outcome.to_message_ms,
                outcome.messages, outcome.idle_cpu_percent,
                outcome.found_again ? "found" : "NOT FOUND", outcome.message.c_str());
    all_good = all_good && outcome.messages == 1 && outcome.to_message_ms >= 0.0 &&
               outcome.found_again && outcome.idle_cpu_percent < 2.0;
  }
  std::printf("(CPU in %% of one core; the pull is the simulator ending, its terminal with it)\n");
  fs::remove_all(workdir);
  return all_good ? 0 : 1;
}
