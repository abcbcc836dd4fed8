// A 64 KiB firmware image in 32-byte records sent to qv82hs-sim at 38400
// baud over the real serial path (QSerialPort on a pseudo-terminal), as the
// Upgrade window and `qv82hs-cli firmware` send it: the device is asked into
// its monitor, then every record waits for its status digit. Prints wall
// time against the floor the wire allows, and how much CPU both sides used,
// for each way an adapter may hand the bytes over (`--patterns`, see
// sim_process.h). `--latency MS` sets the simulated device's reply latency
// (default 2).
#include "firmware/firmware_download.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "device/coin_selector.h"
#include "bench_ui.h"
#include "files/ini_file.h"
#include "firmware/srecord_writer.h"
#include "link/cctalk_link.h"
#include "sim_process.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

namespace {

struct Run {
  bool accepted = false;
  int records_accepted = 0;
  double wall_s = 0.0;
  double cpu_s = 0.0;
  double sim_cpu_s = 0.0;
  std::string low_latency;  // what the driver said when the port opened
};

constexpr int kRate = 38400;

Run download_once(const qv82::FirmwareImage& image, const std::string& dir, int latency_ms,
                  const std::string& pattern) {
  using namespace qv82;
  std::vector<std::string> options = bench::sim_options(latency_ms, pattern);
  options.insert(options.end(), {"--monitor-rates", std::to_string(kRate)});
  bench::SimProcess sim(options);
  QtSerialPort port;
  QtEventPump pump;
  port.set_port_name(sim.slave_path());
  port.open();
  CcTalkLink link(port, pump);
  bench::BenchUi ui(Answer::No);
  DeviceState state;
  state.access_masks = {0xFF, 0xFF, 0xFF, 0xFF};  // the simulator's factory masks
  IniFile settings(dir + "/qv82hs.ini");
  CoinSelector selector(link, state, ui, settings);
  FirmwareDownload download(link, selector);

  Run run;
  run.low_latency = port.low_latency();
  if (download.start_monitor() != kMonitorReady || port.baud_rate() != kRate) {
    std::fprintf(stderr, "%s: the monitor did not answer at %d baud\n", pattern.c_str(), kRate);
    return run;
  }
  const double cpu_start = bench::own_cpu_seconds();
  const double wall_start = bench::wall_seconds();
  run.accepted = download.download_prgm(image);
  run.wall_s = bench::wall_seconds() - wall_start;
  run.cpu_s = bench::own_cpu_seconds() - cpu_start;
  run.records_accepted = download.records_accepted;
  sim.stop();
  run.sim_cpu_s = sim.cpu_seconds();
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qv82;
  QCoreApplication app(argc, argv);
  constexpr std::size_t kImageSize = 64 * 1024;
  constexpr std::size_t kRecordSize = 32;

  const std::string dir =
      std::filesystem::temp_directory_path() / ("qv82bench-firmware-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  Bytes code(kImageSize);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i * 31 + 7);
  std::ofstream(dir + "/image.u19")
      << write_srecord_image({"QV82HS-BL", "QV82HS-9.00", 0, code, kRecordSize});
  const FirmwareImage image = *read_firmware_image(dir + "/image.u19").image;
  const int latency_ms = bench::device_latency_ms(argc, argv);

  // Each record goes out once (its echo comes back on the same wire while
  // it is sent) and one status byte returns: 10 bits a byte. The download
  // also waits 400 ms before it switches back to 9600. The device answers
  // each record after its latency, and an adapter that holds bytes adds at
  // most its latency to each record's status.
  std::size_t wire_bytes = 0;
  for (const FirmwareRecord& record : image.records) wire_bytes += 2 + record.bytes.size() + 1;
  const double wire_s = static_cast<double>(wire_bytes) * 10.0 / kRate;
  const double records = static_cast<double>(image.records.size());
  const double floor_s = wire_s + 0.4 + records * latency_ms / 1000.0;

  std::printf("firmware: header + %zu records of %zu bytes at %d baud, device latency %d ms\n",
              image.body_count(), kRecordSize, kRate, latency_ms);
  std::printf("floor: %.2f s of wire + 400 ms + the device latency, plus L per record for held:L\n",
              floor_s);
  std::printf("%-10s %9s %9s %7s %9s %9s  %s\n", "pattern", "wall s", "floor s", "ratio",
              "host CPU", "sim CPU", "records");
  bool all_accepted = true;
  std::string low_latency;
  for (const std::string& pattern : bench::delivery_patterns(argc, argv)) {
    const Run run = download_once(image, dir, latency_ms, pattern);
    low_latency = run.low_latency;
    const double pattern_floor_s = floor_s + records * bench::held_ms(pattern) / 1000.0;
    all_accepted = all_accepted && run.accepted;
    std::printf("%-10s %9.2f %9.2f %7.3f %8.2f%% %8.2f%%  %d%s\n", pattern.c_str(), run.wall_s,
                pattern_floor_s, run.wall_s / pattern_floor_s,
                run.wall_s > 0 ? 100.0 * run.cpu_s / run.wall_s : 0.0,
                run.wall_s > 0 ? 100.0 * run.sim_cpu_s / run.wall_s : 0.0, run.records_accepted,
                run.accepted ? "" : " (FAILED)");
    std::fflush(stdout);
  }
  // A pseudo-terminal has no driver latency to switch off: the request
  // changes nothing there, and the rows above are the same with or without it.
  std::printf("low latency on the pseudo-terminal: %s\n", low_latency.c_str());
  std::filesystem::remove_all(dir);
  return all_accepted ? 0 : 1;
}
