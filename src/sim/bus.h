#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "link/bytes.h"
#include "sim/host_delivery.h"
#include "sim/scheduler.h"

namespace qv82::sim {

class Bus;

// Something hanging on the single-wire bus: it hears every byte the host
// sends and may answer through transmit().
class BusDevice {
 public:
  virtual ~BusDevice();

  // A host byte has finished on the wire, sent at the given rate.
  virtual void receive(std::uint8_t byte, int baud) = 0;

  Bus* bus() const { return bus_; }

 protected:
  // Sends bytes towards the host, the first one starting after delay_us.
  void transmit(const Bytes& bytes, int baud, std::uint64_t delay_us);
  std::uint64_t now_us() const;

 private:
  friend class Bus;
  Bus* bus_ = nullptr;
};

// One ccTalk bus: the wire timing of both directions. Every host byte takes
// ten bit times at its rate, comes back to the host (the single-wire echo)
// and reaches every device; device bytes reach only the host.
class Bus {
 public:
  // Receives the bytes arriving at the host, with the rate they were sent
  // at: one at a time, or in blocks as the delivery pattern gathers them.
  using HostSink = HostDelivery::Sink;

  explicit Bus(Scheduler& scheduler) : scheduler_(scheduler), delivery_(scheduler) {}
  ~Bus();
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;

  void set_host_sink(HostSink sink) { delivery_.set_sink(std::move(sink)); }
  void set_delivery(const DeliveryPattern& pattern) { delivery_.set_pattern(pattern); }
  void attach(BusDevice& device);
  void detach(BusDevice& device);
  const std::vector<BusDevice*>& devices() const { return devices_; }

  // Host to bus: queued behind whatever the host is still sending.
  void host_send(const Bytes& bytes, int baud);
  // Device to host, the first byte starting delay_us from now (or when the
  // previous device transmission has ended, whichever is later).
  void device_send(const Bytes& bytes, int baud, std::uint64_t delay_us);

  // Without echo the host hears only the devices (a faulty interface).
  bool echo = true;

  Scheduler& scheduler() { return scheduler_; }
  // Ten bits at the rate, in microseconds, rounded.
  static std::uint64_t byte_time_us(int baud);

 private:
  Scheduler& scheduler_;
  HostDelivery delivery_;
  std::vector<BusDevice*> devices_;
  std::uint64_t host_wire_free_us_ = 0;
  std::uint64_t device_wire_free_us_ = 0;
};

}  // namespace qv82::sim
