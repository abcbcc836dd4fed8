// 200 simple polls against qv82hs-sim at 9600 baud over the real serial
// path (QSerialPort on a pseudo-terminal), as `qv82hs-cli send FE` makes
// them. Prints wall time per exchange against the floor that the wire, the
// device latency and the mandated 10 ms pre-wait allow, and how much CPU
// the host used, for each way an adapter may hand the bytes over
// (`--patterns`, see sim_process.h). `--latency MS` sets the simulated
// device's reply latency (default 2).
#include <QCoreApplication>
#include <cstdio>

#include "link/cctalk_link.h"
#include "sim_process.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"

int main(int argc, char** argv) {
  using namespace qv82;
  QCoreApplication app(argc, argv);
  constexpr int kExchanges = 200;
  const int latency_ms = bench::device_latency_ms(argc, argv);

  // Request 5 bytes and ACK 5 bytes, 10 bits each at 9600 baud, plus 10 ms.
  const double floor_ms = (5 + 5) * 10.0 / 9600.0 * 1000.0 + 10.0 + latency_ms;
  std::printf("%d simple polls at 9600 baud, device latency %d ms; floor %.2f ms an exchange\n",
              kExchanges, latency_ms, floor_ms);
  std::printf("(wire + 10 ms pre-wait + device latency; plus L for held:L)\n");
  std::printf("%-10s %12s %9s %7s %9s %9s  %s\n", "pattern", "ms/exchange", "floor ms", "ratio",
              "host CPU", "sim CPU", "failed");
  int all_failures = 0;
  for (const std::string& pattern : bench::delivery_patterns(argc, argv)) {
    bench::SimProcess sim(bench::sim_options(latency_ms, pattern));
    QtSerialPort port;
    QtEventPump pump;
    port.set_port_name(sim.slave_path());
    port.open();
    CcTalkLink link(port, pump);
    link.log_enabled = false;

    const double cpu_start = bench::own_cpu_seconds();
    const double wall_start = bench::wall_seconds();
    int failures = 0;
    for (int i = 0; i < kExchanges; ++i) {
      Bytes reply;
      if (link.cctalk_transaction(2, Bytes{0xFE}, reply, 10) != kTransactionOk) ++failures;
    }
    const double wall = bench::wall_seconds() - wall_start;
    const double cpu = bench::own_cpu_seconds() - cpu_start;
    sim.stop();
    const double pattern_floor_ms = floor_ms + bench::held_ms(pattern);
    const double per_exchange_ms = wall / kExchanges * 1000.0;
    std::printf("%-10s %12.2f %9.2f %7.3f %8.2f%% %8.2f%%  %d\n", pattern.c_str(), per_exchange_ms,
                pattern_floor_ms, per_exchange_ms / pattern_floor_ms, 100.0 * cpu / wall,
                100.0 * sim.cpu_seconds() / wall, failures);
    std::fflush(stdout);
    all_failures += failures;
  }
  return all_failures == 0 ? 0 : 1;
}
