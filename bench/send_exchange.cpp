// 200 simple polls against qv82hs-sim at 9600 baud over the real serial
// path (QSerialPort on a pseudo-terminal), as `qv82hs-cli send FE` makes
// them. Prints wall time per exchange against the floor that the wire and
// the mandated 10 ms pre-wait allow, and how much CPU the host used.
// `--latency MS` sets the simulated device's reply latency (default 2).
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
  bench::SimProcess sim(bench::latency_options(latency_ms));
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
  const double sim_cpu = sim.cpu_seconds();

  // Request 5 bytes and ACK 5 bytes, 10 bits each at 9600 baud, plus 10 ms.
  const double floor_ms = (5 + 5) * 10.0 / 9600.0 * 1000.0 + 10.0;
  const double per_exchange_ms = wall / kExchanges * 1000.0;
  std::printf("exchanges:            %d (%d failed)\n", kExchanges, failures);
  std::printf("wall per exchange:    %.2f ms\n", per_exchange_ms);
  std::printf("floor per exchange:   %.2f ms (wire time + 10 ms pre-wait)\n", floor_ms);
  std::printf("ratio:                %.2f\n", per_exchange_ms / floor_ms);
  std::printf("with device latency:  %.2f ms floor, ratio %.2f (simulator answers after %d ms)\n",
              floor_ms + latency_ms, per_exchange_ms / (floor_ms + latency_ms), latency_ms);
  std::printf("host CPU share:       %.2f %% of one core\n", 100.0 * cpu / wall);
  std::printf("simulator CPU share:  %.2f %% of one core\n", 100.0 * sim_cpu / wall);
  return failures == 0 ? 0 : 1;
}
