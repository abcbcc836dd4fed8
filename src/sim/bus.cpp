#include "sim/bus.h"

#include <algorithm>

namespace qv82::sim {

BusDevice::~BusDevice() {
  if (bus_ != nullptr) bus_->detach(*this);
}

void BusDevice::transmit(const Bytes& bytes, int baud, std::uint64_t delay_us) {
  if (bus_ != nullptr) bus_->device_send(bytes, baud, delay_us);
}

std::uint64_t BusDevice::now_us() const { return bus_ != nullptr ? bus_->scheduler().now_us() : 0; }

Bus::~Bus() {
  for (BusDevice* device : devices_) device->bus_ = nullptr;
}

void Bus::attach(BusDevice& device) {
  if (device.bus_ == this) return;
  if (device.bus_ != nullptr) device.bus_->detach(device);
  devices_.push_back(&device);
  device.bus_ = this;
}

void Bus::detach(BusDevice& device) {
  devices_.erase(std::remove(devices_.begin(), devices_.end(), &device), devices_.end());
  if (device.bus_ == this) device.bus_ = nullptr;
}

std::uint64_t Bus::byte_time_us(int baud) {
  if (baud <= 0) return 0;
  const auto rate = static_cast<std::uint64_t>(baud);
  return (10'000'000ULL + rate / 2) / rate;
}

void Bus::host_send(const Bytes& bytes, int baud) {
  const std::uint64_t step = byte_time_us(baud);
  std::uint64_t end = std::max(host_wire_free_us_, scheduler_.now_us());
  for (std::uint8_t byte : bytes) {
    end += step;
    scheduler_.schedule_at_us(end, [this, byte, baud, end] {
      // Queued host bytes may have followed since: the burst goes on.
      if (echo) delivery_.arrive(byte, baud, end == host_wire_free_us_);
      // A device may detach itself while handling the byte: iterate a copy.
      const std::vector<BusDevice*> listeners = devices_;
      for (BusDevice* device : listeners) device->receive(byte, baud);
    });
  }
  host_wire_free_us_ = end;
}

void Bus::device_send(const Bytes& bytes, int baud, std::uint64_t delay_us) {
  const std::uint64_t step = byte_time_us(baud);
  std::uint64_t end = std::max(device_wire_free_us_, scheduler_.now_us() + delay_us);
  for (std::uint8_t byte : bytes) {
    end += step;
    scheduler_.schedule_at_us(end, [this, byte, baud, end] {
      delivery_.arrive(byte, baud, end == device_wire_free_us_);
    });
  }
  device_wire_free_us_ = end;
}

}  // namespace qv82::sim
