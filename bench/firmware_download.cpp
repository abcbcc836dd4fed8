// A 64 KiB firmware image in 32-byte records sent to qv82hs-sim at 38400
// baud over the real serial path (QSerialPort on a pseudo-terminal), as the
// Upgrade window and `qv82hs-cli firmware` send it: the device is asked into
// its monitor, then every record waits for its status digit. Prints wall
// time against the floor the wire allows, and how much CPU both sides used.
// `--latency MS` sets the simulated device's reply latency (default 2).
#include "firmware/firmware_download.h"

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "device/coin_selector.h"
#include "files/ini_file.h"
#include "firmware/srecord_writer.h"
#include "link/cctalk_link.h"
#include "sim_process.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

namespace {

// Nobody at the bench: messages are printed, dialogs cancelled.
class PrintingUi : public qv82::Ui {
 public:
  void error(const std::string& text) override {
    std::fprintf(stderr, "error: %s\n", text.c_str());
  }
  void information(const std::string&) override {}
  qv82::Answer question(const std::string&, qv82::Buttons) override { return qv82::Answer::No; }
  std::optional<std::string> password(const std::string&, const std::string&,
                                      const Validator&) override {
    return std::nullopt;
  }
  bool choose_sections(const std::string&, qv82::ParameterTree&) override { return false; }
  std::optional<std::string> open_file(const std::string&) override { return std::nullopt; }
  std::optional<std::string> save_file(const std::string&) override { return std::nullopt; }
  void wait_cursor(bool) override {}
};

}  // namespace

int main(int argc, char** argv) {
  using namespace qv82;
  QCoreApplication app(argc, argv);
  constexpr std::size_t kImageSize = 64 * 1024;
  constexpr std::size_t kRecordSize = 32;
  constexpr int kRate = 38400;

  const std::string dir = std::filesystem::temp_directory_path() / "qv82bench-firmware";
  std::filesystem::create_directories(dir);
  Bytes code(kImageSize);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i * 31 + 7);
  std::ofstream(dir + "/image.u19")
      << write_srecord_image({"QV82HS-BL", "QV82HS-9.00", 0, code, kRecordSize});
  const FirmwareImage image = *read_firmware_image(dir + "/image.u19").image;

  const int latency_ms = bench::device_latency_ms(argc, argv);
  std::vector<std::string> sim_options = bench::latency_options(latency_ms);
  sim_options.insert(sim_options.end(), {"--monitor-rates", std::to_string(kRate)});
  bench::SimProcess sim(sim_options);
  QtSerialPort port;
  QtEventPump pump;
  port.set_port_name(sim.slave_path());
  port.open();
  CcTalkLink link(port, pump);
  PrintingUi ui;
  DeviceState state;
  state.access_masks = {0xFF, 0xFF, 0xFF, 0xFF};  // the simulator's factory masks
  IniFile settings(dir + "/qv82hs.ini");
  CoinSelector selector(link, state, ui, settings);
  FirmwareDownload download(link, selector);

  if (download.start_monitor() != kMonitorReady || port.baud_rate() != kRate) {
    std::fprintf(stderr, "the monitor did not answer at %d baud\n", kRate);
    return 1;
  }
  const double cpu_start = bench::own_cpu_seconds();
  const double wall_start = bench::wall_seconds();
  const bool accepted = download.download_prgm(image);
  const double wall = bench::wall_seconds() - wall_start;
  const double cpu = bench::own_cpu_seconds() - cpu_start;
  sim.stop();
  const double sim_cpu = sim.cpu_seconds();
  std::filesystem::remove_all(dir);

  // Each record goes out once (its echo comes back on the same wire while
  // it is sent) and one status byte returns: 10 bits a byte. The download
  // also waits 400 ms before it switches back to 9600.
  std::size_t wire_bytes = 0;
  for (const FirmwareRecord& record : image.records) wire_bytes += 2 + record.bytes.size() + 1;
  const double wire_s = static_cast<double>(wire_bytes) * 10.0 / kRate;
  const double floor_s = wire_s + 0.4;
  // With one look at the buffer every 10 ms, a record cannot finish in
  // fewer polls than its wire time rounded up.
  double polled_s = 0.4;
  for (const FirmwareRecord& record : image.records) {
    const double record_ms = (2.0 + record.bytes.size() + 1) * 10.0 / kRate * 1000.0;
    polled_s += (static_cast<int>(record_ms / 10.0) + 1) * 0.010;
  }

  std::printf("records:              header + %zu, %d accepted%s\n", image.body_count(),
              download.records_accepted, accepted ? "" : " (FAILED)");
  std::printf("wall time:            %.2f s\n", wall);
  std::printf("wire-time floor:      %.2f s (%zu bytes at %d baud + 400 ms)\n", floor_s, wire_bytes,
              kRate);
  std::printf("ratio:                %.2f\n", wall / floor_s);
  const double device_s = static_cast<double>(image.records.size()) * latency_ms / 1000.0;
  std::printf("with device latency:  %.2f s floor, ratio %.2f (simulator answers after %d ms)\n",
              floor_s + device_s, wall / (floor_s + device_s), latency_ms);
  std::printf("10 ms poll floor:     %.2f s (ratio %.2f)\n", polled_s, wall / polled_s);
  std::printf("host CPU share:       %.2f %% of one core\n", 100.0 * cpu / wall);
  std::printf("simulator CPU share:  %.2f %% of one core\n", 100.0 * sim_cpu / wall);
  return accepted ? 0 : 1;
}
